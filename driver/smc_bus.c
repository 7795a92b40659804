#include "smc_bus.h"

#include "smc_transport.h"

void smcScheduleStart(const SmcBus* bus, SmcSchedule* schedule) {
    schedule->poll = 1;
    schedule->polls = bus->quick && !bus->patient ? SMC_QUICK_POLLS : SMC_POLLS;
    schedule->wait = SMC_FIRST_WAIT_US;
}

int smcScheduleNext(SmcBus* bus, SmcSchedule* schedule) {
    if (schedule->poll >= schedule->polls) {
        bus->quick = 1;
        return 0;
    }
    bus->access->stall(bus->access->context, schedule->wait);
    if (schedule->poll >= SMC_STEADY_POLLS)
        schedule->wait *= 2;
    schedule->poll++;
    return 1;
}

SmcResult smcResultOf(uint8_t code) {
    switch (code) {
    case 0:
        return SMC_OK;
    case SMC_RESULT_NOT_FOUND:
        return SMC_NOT_FOUND;
    case SMC_RESULT_NOT_WRITABLE:
        return SMC_NOT_WRITABLE;
    case SMC_RESULT_SIZE_MISMATCH:
        return SMC_SIZE_MISMATCH;
    default:
        return SMC_FAILED;
    }
}

SmcResult smcTransact(SmcBus* bus, uint8_t command, const uint8_t arg[4], uint8_t* data,
                      uint8_t length) {
    SmcResult r;
    if (length == 0 || length > SMC_MAX_DATA)
        return SMC_SIZE_MISMATCH;
    bus->patient = !bus->quick || ++bus->quickRound % SMC_PATIENT_EVERY == 0;
    if (bus->path == SMC_PATH_PORT)
        r = smcPortTransact(bus, command, arg, data, length);
    else if (bus->path == SMC_PATH_WINDOW)
        r = smcWindowTransact(bus, command, arg, data, length);
    else
        return SMC_NO_PATH;
    if (r != SMC_TIMEOUT) {
        bus->quick = 0;
        bus->quickRound = 0;
    }
    return r;
}

SmcResult smcReadKey(SmcBus* bus, const uint8_t key[4], uint8_t* data, uint8_t size) {
    return smcTransact(bus, SMC_CMD_READ, key, data, size);
}

SmcResult smcWriteKey(SmcBus* bus, const uint8_t key[4], const uint8_t* data, uint8_t size) {
    /* A write only reads from data. */
    return smcTransact(bus, SMC_CMD_WRITE, key, (uint8_t*)data, size);
}

SmcResult smcGetKeyInfo(SmcBus* bus, const uint8_t key[4], SmcKeyInfo* info) {
    uint8_t reply[6];
    const SmcResult r = smcTransact(bus, SMC_CMD_KEY_INFO, key, reply, sizeof reply);
    if (r != SMC_OK)
        return r;
    info->size = reply[0];
    info->type[0] = reply[1];
    info->type[1] = reply[2];
    info->type[2] = reply[3];
    info->type[3] = reply[4];
    info->attributes = reply[5];
    return SMC_OK;
}

SmcResult smcKeyAtIndex(SmcBus* bus, uint32_t index, uint8_t key[4]) {
    const uint8_t arg[4] = {(uint8_t)(index >> 24), (uint8_t)(index >> 16), (uint8_t)(index >> 8),
                            (uint8_t)index};
    return smcTransact(bus, SMC_CMD_KEY_AT_INDEX, arg, key, 4);
}

static int windowAnswersAsT2(SmcBus* bus) {
    static const uint8_t generation[4] = {'L', 'D', 'K', 'N'};
    uint8_t value = 0;
    if (bus->access->windowRead(bus->access->context, SMC_WINDOW_STATUS, 1) == 0xFFu)
        return 0;
    return smcReadKey(bus, generation, &value, 1) == SMC_OK && value >= 2;
}

static int portsAnswer(SmcBus* bus) {
    static const uint8_t count[4] = {'#', 'K', 'E', 'Y'};
    uint8_t value[4] = {0, 0, 0, 0};
    if (smcReadKey(bus, count, value, 4) != SMC_OK)
        return 0;
    /* A key count, big-endian: an SMC has a few hundred to a few thousand keys. */
    return value[0] == 0 && value[1] == 0 && (value[2] | value[3]) != 0;
}

SmcPath smcChoosePath(SmcBus* bus, const SmcAccess* access, uint16_t portBase, uint32_t portSpan,
                      uint32_t windowSpan) {
    bus->access = access;
    bus->portBase = portBase;
    bus->windowSpan = windowSpan;
    bus->quick = 0;
    bus->quickRound = 0;
    bus->patient = 1;
    if (windowSpan >= SMC_WINDOW_MIN_SPAN) {
        bus->path = SMC_PATH_WINDOW;
        if (windowAnswersAsT2(bus))
            return bus->path;
    }
    bus->quick = 0;
    if (portSpan >= SMC_PORT_SPAN && (uint32_t)portBase + portSpan <= 0x10000u) {
        bus->path = SMC_PATH_PORT;
        if (portsAnswer(bus))
            return bus->path;
    }
    bus->path = SMC_PATH_NONE;
    bus->quick = 0;
    return bus->path;
}
