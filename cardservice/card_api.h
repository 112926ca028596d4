#pragma once

// The C interface of the card service library. The clinics' 32-bit library exports every operation
// under its plain name with the Windows calling convention.

#include <stdint.h>

#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#define CARD_API_CALL __stdcall
#else
#define CARD_API_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t(CARD_API_CALL* csOpenCom_t)(int16_t port);
typedef int32_t(CARD_API_CALL* csCloseCom_t)(void);
typedef int32_t(CARD_API_CALL* csGetHospID_t)(char* buf, int32_t* len);
typedef int32_t(CARD_API_CALL* csGetCardNo_t)(int32_t selector, char* buf, int32_t* len);
typedef int32_t(CARD_API_CALL* hisGetBasicData_t)(char* buf, int32_t* len);
typedef int32_t(CARD_API_CALL* vantoGetAdultPrevent_t)(void);
typedef int32_t(CARD_API_CALL* vantoGetAdultPreventSilence_t)(char* b1, int32_t* l1, char* b2, int32_t* l2,
                                                              char* b3, int32_t* l3);
typedef int16_t(CARD_API_CALL* csVerifySAMDC_t)(void);
typedef int16_t(CARD_API_CALL* vantoInsAdultLog_t)(void);
typedef int16_t(CARD_API_CALL* vantoUnAdultLog_t)(void);
typedef int32_t(CARD_API_CALL* hisGetRegisterPrevent_t)(char* buf, int32_t* len);
typedef int32_t(CARD_API_CALL* vantoGetBCPrevent_t)(void);
typedef int32_t(CARD_API_CALL* vantoGetBCPreventSilence_t)(char* b1, int32_t* l1, char* b2, int32_t* l2,
                                                           char* b3, int32_t* l3);

#ifdef __cplusplus
}
#endif
