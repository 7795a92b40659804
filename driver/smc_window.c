/* The memory-mapped window: the key as one 32-bit store, the data bytes, then the length, the
 * SMC id and the command as 8-bit stores; the status bit 0x20 says the command is done and its
 * result code replaces the command byte. */
#include "smc_transport.h"

static uint32_t readWindow(SmcBus* bus, uint32_t offset, uint8_t width) {
    return bus->access->windowRead(bus->access->context, offset, width);
}

static void writeWindow(SmcBus* bus, uint32_t offset, uint8_t width, uint32_t value) {
    bus->access->windowWrite(bus->access->context, offset, width, value);
}

SmcResult smcWindowTransact(SmcBus* bus, uint8_t command, const uint8_t arg[4], uint8_t* data,
                            uint8_t length) {
    SmcSchedule schedule;
    uint8_t status;
    if (bus->windowSpan < SMC_WINDOW_MIN_SPAN || length > SMC_WINDOW_DATA_SPAN)
        return SMC_NO_PATH;
    status = (uint8_t)readWindow(bus, SMC_WINDOW_STATUS, 1);
    if (status == 0xFFu)
        return SMC_TIMEOUT; /* nothing answers behind the window */
    /* A done bit left from the last command would make this one look finished at once. */
    if (status != 0)
        writeWindow(bus, SMC_WINDOW_STATUS, 1, 0);
    /* The characters in reading order at increasing addresses: one little-endian store. */
    writeWindow(bus, SMC_WINDOW_KEY, 4,
                (uint32_t)arg[0] | (uint32_t)arg[1] << 8 | (uint32_t)arg[2] << 16 |
                    (uint32_t)arg[3] << 24);
    if (command == SMC_CMD_WRITE) {
        for (uint8_t i = 0; i < length; ++i)
            writeWindow(bus, SMC_WINDOW_DATA + i, 1, data[i]);
        writeWindow(bus, SMC_WINDOW_LENGTH, 1, length);
    }
    writeWindow(bus, SMC_WINDOW_SMC_ID, 1, 0);
    writeWindow(bus, SMC_WINDOW_COMMAND, 1, command);

    smcScheduleStart(bus, &schedule);
    while (!(readWindow(bus, SMC_WINDOW_STATUS, 1) & SMC_WINDOW_DONE)) {
        if (!smcScheduleNext(bus, &schedule))
            return SMC_TIMEOUT;
    }
    {
        const SmcResult r = smcResultOf((uint8_t)readWindow(bus, SMC_WINDOW_COMMAND, 1));
        if (r != SMC_OK)
            return r;
    }
    switch (command) {
    case SMC_CMD_WRITE:
        return SMC_OK;
    case SMC_CMD_READ:
        if ((uint8_t)readWindow(bus, SMC_WINDOW_LENGTH, 1) != length)
            return SMC_SIZE_MISMATCH;
        for (uint8_t i = 0; i < length; ++i)
            data[i] = (uint8_t)readWindow(bus, SMC_WINDOW_DATA + i, 1);
        return SMC_OK;
    case SMC_CMD_KEY_INFO:
        /* Handed on in the port interface's order: size, type, attributes. */
        if (length != 6)
            return SMC_SIZE_MISMATCH;
        data[0] = (uint8_t)readWindow(bus, SMC_WINDOW_INFO_SIZE, 1);
        for (uint8_t i = 0; i < 4; ++i)
            data[1 + i] = (uint8_t)readWindow(bus, SMC_WINDOW_INFO_TYPE + i, 1);
        data[5] = (uint8_t)readWindow(bus, SMC_WINDOW_INFO_ATTRIBUTES, 1);
        return SMC_OK;
    default:
        for (uint8_t i = 0; i < length; ++i)
            data[i] = (uint8_t)readWindow(bus, SMC_WINDOW_DATA + i, 1);
        return SMC_OK;
    }
}
