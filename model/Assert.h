#pragma once
// VELMORA_ASSERT(condition, message) checks a precondition or an invariant
// that a header documents. Where assertions are on (debug builds, the
// sanitizer and dev presets) a failed check prints the place, the condition
// and the message to standard error and aborts at once, so a caller that
// breaks a contract is stopped where it breaks it instead of computing on
// with wrong data. Elsewhere the condition is compiled but never evaluated,
// so a check costs a release build nothing.
//
// VELMORA_ASSERTIONS=1 or 0 (a compile definition) forces them on or off;
// without it they follow NDEBUG.

#if !defined(VELMORA_ASSERTIONS)
#if defined(NDEBUG)
#define VELMORA_ASSERTIONS 0
#else
#define VELMORA_ASSERTIONS 1
#endif
#endif

// Whether this build checks its assertions.
inline constexpr bool kAssertionsOn = VELMORA_ASSERTIONS != 0;

// Reports a failed check and aborts.
[[noreturn]] void AssertionFailed(const char* condition, const char* message, const char* file, int line);

#if VELMORA_ASSERTIONS
#define VELMORA_ASSERT(condition, message) \
  ((condition) ? static_cast<void>(0) : AssertionFailed(#condition, message, __FILE__, __LINE__))
#else
#define VELMORA_ASSERT(condition, message) static_cast<void>(sizeof(!(condition)))
#endif
