# WM_WERROR makes every warning of ours an error. The developers' and CI
# scripts (scripts/test.sh, scripts/build.sh, scripts/fuzz.sh) turn it on, so
# that no warning gets in; it is off by default so that a packager's build with
# a newer compiler, whose new warnings (or new false positives at -O3) nobody
# here has seen yet, still builds. -Werror keeps its place in the list, so that
# build folders made before the option existed keep their compile lines (and
# rebuild nothing) once they turn it on.
option(WM_WERROR "Treat compiler warnings as errors (on in the developers' and CI scripts)" OFF)

# The same warnings for every target of ours; the sanitizer build adds
# AddressSanitizer and UndefinedBehaviorSanitizer to every target.
add_library(wm_options INTERFACE)
target_compile_options(wm_options INTERFACE
  -Wall -Wextra -Wpedantic $<$<BOOL:${WM_WERROR}>:-Werror> -Wshadow -Wconversion
  -Wno-sign-conversion -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wcast-align
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
