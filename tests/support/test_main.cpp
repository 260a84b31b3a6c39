// Entry point of every test program: an offscreen Qt application, so that
// fonts, images and the clipboard work without a display; and the sanitizer
// settings of the test programs and of the programs they start.

#include <QApplication>
#include <QtGlobal>

#include <gtest/gtest.h>

// Read by the sanitizers before main() in sanitized builds; unused otherwise.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=1:abort_on_error=0";
}
extern "C" const char* __lsan_default_options() {
    return "suppressions=" WM_LSAN_SUPPRESSIONS;
}
extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The installed programs some tests start are sanitized as well: the
    // same leaks in system libraries are not theirs either.
    if (!qEnvironmentVariableIsSet("LSAN_OPTIONS")) {
        qputenv("LSAN_OPTIONS", __lsan_default_options());
    }
    // Music never reaches the machine's speakers; tests that listen to it
    // choose SDL's disk driver themselves.
    if (!qEnvironmentVariableIsSet("SDL_AUDIODRIVER")) {
        qputenv("SDL_AUDIODRIVER", "dummy");
    }
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
