// Compiled into every test program so that the suppressions also apply when
// a test binary runs outside ctest (for example during test discovery).
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions()
{
    return
        // Qt 5.15's offscreen platform plugin leaks its screen objects at exit.
        "leak:libqoffscreen.so\n"
        // Font configuration caches that Qt's font database keeps until exit.
        "leak:libfontconfig.so\n"
        // Qt 5.15's JSON parser loses the first value of a key repeated in an
        // object when that value is an array or object ({"a":{},"a":1}).
        "leak:QJsonDocument::fromJson\n";
}
