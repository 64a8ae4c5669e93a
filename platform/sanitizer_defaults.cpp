// Linked into the programs and the unit tests of the sanitizer build only.
//
// A sanitizer that finds a fault reports it and by default ends the program
// with status 1, which both programs also use for a file they cannot open:
// a test could take the report for an ordinary failure. Here every report
// ends the program at once with an abort, which no caller can mistake.
// ASAN_OPTIONS and UBSAN_OPTIONS in the environment still override this.

#if defined(__SANITIZE_ADDRESS__)
#define GLOOMHOLD_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GLOOMHOLD_SANITIZED 1
#endif
#endif

#ifdef GLOOMHOLD_SANITIZED
extern "C" {

__attribute__((used, visibility("default"))) const char* __asan_default_options() {
    return "halt_on_error=1:abort_on_error=1:detect_leaks=1";
}

__attribute__((used, visibility("default"))) const char* __ubsan_default_options() {
    return "halt_on_error=1:abort_on_error=1:print_stacktrace=1";
}

}  // extern "C"
#endif
