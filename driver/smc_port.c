/* The port interface, one byte at a time with the SMC's handshake: before each byte written the
 * input buffer must be empty and the SMC busy with the command; each byte of a reply is read
 * once the SMC says data awaits. */
#include "smc_transport.h"

static uint8_t readPort(SmcBus* bus, uint16_t offset) {
    return bus->access->portRead(bus->access->context, (uint16_t)(bus->portBase + offset));
}

static void writePort(SmcBus* bus, uint16_t offset, uint8_t value) {
    bus->access->portWrite(bus->access->context, (uint16_t)(bus->portBase + offset), value);
}

static SmcResult waitStatus(SmcBus* bus, uint8_t mask, uint8_t wanted) {
    SmcSchedule schedule;
    smcScheduleStart(bus, &schedule);
    do {
        if ((readPort(bus, SMC_PORT_COMMAND) & mask) == wanted)
            return SMC_OK;
    } while (smcScheduleNext(bus, &schedule));
    return SMC_TIMEOUT;
}

/* Why the SMC ended a command before it was complete: its result code, or a timeout when it
 * reports none. */
static SmcResult endedEarly(SmcBus* bus) {
    const SmcResult r = smcResultOf(readPort(bus, SMC_PORT_RESULT));
    return r == SMC_OK ? SMC_TIMEOUT : r;
}

static SmcResult sendCommand(SmcBus* bus, uint8_t command) {
    const SmcResult r = waitStatus(bus, SMC_STATUS_INPUT_FULL, 0);
    if (r != SMC_OK)
        return r;
    writePort(bus, SMC_PORT_COMMAND, command);
    return SMC_OK;
}

static SmcResult sendByte(SmcBus* bus, uint8_t value) {
    SmcResult r = waitStatus(bus, SMC_STATUS_INPUT_FULL, 0);
    if (r != SMC_OK)
        return r;
    /* Looked at on its own read: the busy bit may rise only after the input buffer emptied. */
    r = waitStatus(bus, SMC_STATUS_BUSY, SMC_STATUS_BUSY);
    if (r != SMC_OK)
        return endedEarly(bus);
    writePort(bus, SMC_PORT_DATA, value);
    return SMC_OK;
}

/* Waits for the next byte of a reply; SMC_OK when one awaits, the SMC's reason when it ended
 * the command instead (no key of that name, say): idle on two polls in a row and a result code
 * that is not success. A moment of idleness alone is no reason to give up. */
static SmcResult awaitReplyByte(SmcBus* bus) {
    const uint8_t ready = SMC_STATUS_AWAITING_DATA | SMC_STATUS_BUSY;
    int idlePolls = 0;
    SmcSchedule schedule;
    smcScheduleStart(bus, &schedule);
    do {
        const uint8_t status = readPort(bus, SMC_PORT_COMMAND);
        if ((status & ready) == ready)
            return SMC_OK;
        if ((status & (SMC_STATUS_BUSY | SMC_STATUS_INPUT_FULL)) != 0) {
            idlePolls = 0;
        } else if (++idlePolls >= 2) {
            const SmcResult r = smcResultOf(readPort(bus, SMC_PORT_RESULT));
            if (r != SMC_OK)
                return r;
        }
    } while (smcScheduleNext(bus, &schedule));
    return SMC_TIMEOUT;
}

/* Bytes the SMC still offers after the reply was read mean the key is longer than asked for. */
static int drainedExtraBytes(SmcBus* bus) {
    int extra = 0;
    for (int i = 0; i < 16; ++i) {
        bus->access->stall(bus->access->context, SMC_FIRST_WAIT_US);
        if (!(readPort(bus, SMC_PORT_COMMAND) & SMC_STATUS_AWAITING_DATA))
            break;
        (void)readPort(bus, SMC_PORT_DATA);
        extra = 1;
    }
    return extra;
}

static SmcResult finish(SmcBus* bus) {
    const SmcResult r = waitStatus(bus, SMC_STATUS_BUSY, 0);
    return r != SMC_OK ? r : smcResultOf(readPort(bus, SMC_PORT_RESULT));
}

SmcResult smcPortTransact(SmcBus* bus, uint8_t command, const uint8_t arg[4], uint8_t* data,
                          uint8_t length) {
    SmcResult r = sendCommand(bus, command);
    for (int i = 0; i < 4 && r == SMC_OK; ++i)
        r = sendByte(bus, arg[i]);
    if (r == SMC_OK)
        r = sendByte(bus, length);
    if (r != SMC_OK)
        return r;
    if (command == SMC_CMD_WRITE) {
        for (uint8_t i = 0; i < length && r == SMC_OK; ++i)
            r = sendByte(bus, data[i]);
        return r == SMC_OK ? finish(bus) : r;
    }
    for (uint8_t i = 0; i < length; ++i) {
        r = awaitReplyByte(bus);
        if (r != SMC_OK)
            return r;
        data[i] = readPort(bus, SMC_PORT_DATA);
    }
    if (drainedExtraBytes(bus)) {
        (void)finish(bus);
        return SMC_SIZE_MISMATCH;
    }
    return finish(bus);
}
