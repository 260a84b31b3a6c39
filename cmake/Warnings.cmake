# Warnings are errors for every target of ours; the sanitizer build adds
# AddressSanitizer and UndefinedBehaviorSanitizer to every target.
add_library(wm_options INTERFACE)
target_compile_options(wm_options INTERFACE
  -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion -Wno-sign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wcast-align
  -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
target_compile_definitions(wm_options INTERFACE QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
if(WM_SANITIZE)
  target_compile_options(wm_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(wm_options INTERFACE -fsanitize=address,undefined)
endif()

# Qt headers dominate compile time on two cores: precompile them once per target.
function(wm_precompile_qt target)
  target_precompile_headers(${target} PRIVATE
    <QString> <QStringList> <QByteArray> <QFile> <QDir> <QFileInfo> <vector> <string>
    <cstdint> <optional> <functional>)
endfunction()
