// Libraries that stand in for the card service library in the binding's tests, each with one habit
// that a vendor's library can have; the build chooses which. Plain, it only opens and closes the
// port and authenticates.
#include <stdint.h>

#include "cardservice/card_api.h"

#ifdef _WIN32
#include <windows.h>
#define STAND_IN_EXPORT __declspec(dllexport)
#else
#define STAND_IN_EXPORT __attribute__((visibility("default")))
#endif

#ifdef STAND_IN_READER
// The reader driver that a card library uses.
extern "C" STAND_IN_EXPORT int32_t ReaderStatus(void) { return 0; }
#else

#ifdef STAND_IN_IMPORTS_READER
extern "C" __declspec(dllimport) int32_t ReaderStatus(void);
#endif

extern "C" {

STAND_IN_EXPORT int32_t CARD_API_CALL csOpenCom(int16_t) {
#if defined(STAND_IN_UNMASKS_FLOATING_POINT)
  // As a runtime of another compiler may leave them: invalid operations, division by zero and
  // overflow trap instead of giving NaN or infinity.
  uint16_t x87 = 0;
  asm volatile("fnstcw %0" : "=m"(x87));
  x87 &= static_cast<uint16_t>(~0x000Du);
  asm volatile("fldcw %0" : : "m"(x87));
#ifdef __x86_64__
  uint32_t sse = 0;
  asm volatile("stmxcsr %0" : "=m"(sse));
  sse &= ~0x0680u;
  asm volatile("ldmxcsr %0" : : "m"(sse));
#endif
  // The control word it left, so that a test can tell that it really changed it.
  return x87;
#elif defined(STAND_IN_IMPORTS_READER)
  return ReaderStatus();
#elif defined(STAND_IN_LOADS_READER)
  // By its plain name, as vendors' libraries do; it stays loaded.
  return LoadLibraryW(L"Reader.dll") ? 0 : -1;
#else
  return 0;
#endif
}

STAND_IN_EXPORT int32_t CARD_API_CALL csCloseCom(void) { return 0; }

STAND_IN_EXPORT int16_t CARD_API_CALL csVerifySAMDC(void) { return 0; }
}

#endif
