/* Shared by the two interfaces' transactions: the wait schedule and result codes. */
#ifndef SMC_TRANSPORT_H
#define SMC_TRANSPORT_H

#include "smc_bus.h"

typedef struct SmcSchedule {
    uint32_t poll;
    uint32_t polls;
    uint32_t wait;
} SmcSchedule;

void smcScheduleStart(const SmcBus* bus, SmcSchedule* schedule);
/* Waits before the next poll; 0 when the schedule is used up. */
int smcScheduleNext(SmcBus* bus, SmcSchedule* schedule);

SmcResult smcResultOf(uint8_t code);

SmcResult smcPortTransact(SmcBus* bus, uint8_t command, const uint8_t arg[4], uint8_t* data,
                          uint8_t length);
SmcResult smcWindowTransact(SmcBus* bus, uint8_t command, const uint8_t arg[4], uint8_t* data,
                            uint8_t length);

#endif
