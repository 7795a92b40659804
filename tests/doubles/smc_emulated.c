#include "smc_emulated.h"

#include "smc_bus.h"

enum { PORT_IDLE, PORT_ARGUMENT, PORT_LENGTH, PORT_WRITE, PORT_REPLY };

#define RESULT_COLLISION 0x80u
#define RESULT_SPURIOUS 0x81u
#define RESULT_BAD_COMMAND 0x82u
#define RESULT_BAD_PARAMETER 0x83u
#define RESULT_INDEX_RANGE 0xB8u
#define ATTRIBUTE_READ 0x80u
#define ATTRIBUTE_WRITE 0x40u

static const SmcSimKey t2Keys[] = SMC_SIM_DEFAULT_KEYS;
static const SmcSimKey olderKeys[] = SMC_SIM_OLDER_KEYS;

/* What the SMC holds for a key, the made-up ones included. */
typedef struct Found {
    uint8_t name[4];
    uint8_t size;
    uint8_t data[4];
    uint8_t writable;
    SmcSimKey* stored;
} Found;

static void copyBytes(void* to, const void* from, uint32_t n) {
    uint8_t* d = (uint8_t*)to;
    const uint8_t* s = (const uint8_t*)from;
    for (uint32_t i = 0; i < n; ++i)
        d[i] = s[i];
}

static int sameKey(const void* a, const void* b) {
    const uint8_t* x = (const uint8_t*)a;
    const uint8_t* y = (const uint8_t*)b;
    return x[0] == y[0] && x[1] == y[1] && x[2] == y[2] && x[3] == y[3];
}

static uint32_t totalKeys(const SmcEmulated* smc) {
    return smc->keyCount + 2;
}

SmcSimKey* smcEmuFind(SmcEmulated* smc, const uint8_t key[4]) {
    for (uint32_t i = 0; i < smc->keyCount; ++i)
        if (sameKey(smc->keys[i].key, key))
            return &smc->keys[i];
    return 0;
}

static int lookUp(SmcEmulated* smc, const uint8_t key[4], Found* out) {
    static const uint8_t count[4] = {'#', 'K', 'E', 'Y'};
    static const uint8_t generation[4] = {'L', 'D', 'K', 'N'};
    SmcSimKey* k = smcEmuFind(smc, key);
    copyBytes(out->name, key, 4);
    out->stored = k;
    out->writable = 0;
    out->data[0] = out->data[1] = out->data[2] = out->data[3] = 0;
    if (k) {
        out->size = k->size > 4 ? 4 : k->size;
        copyBytes(out->data, k->data, out->size);
        out->writable = (k->flags & SMC_SIM_FLAG_WRITABLE) != 0;
        return 1;
    }
    if (sameKey(key, count)) {
        const uint32_t n = totalKeys(smc);
        out->size = 4;
        out->data[0] = (uint8_t)(n >> 24);
        out->data[1] = (uint8_t)(n >> 16);
        out->data[2] = (uint8_t)(n >> 8);
        out->data[3] = (uint8_t)n;
        return 1;
    }
    if (sameKey(key, generation)) {
        out->size = 1;
        out->data[0] = smc->generation;
        return 1;
    }
    return 0;
}

static int nameAtIndex(SmcEmulated* smc, uint32_t index, uint8_t name[4]) {
    static const uint8_t madeUp[2][4] = {{'#', 'K', 'E', 'Y'}, {'L', 'D', 'K', 'N'}};
    if (index < smc->keyCount)
        copyBytes(name, smc->keys[index].key, 4);
    else if (index < totalKeys(smc))
        copyBytes(name, madeUp[index - smc->keyCount], 4);
    else
        return 0;
    return 1;
}

/* The key info reply: size, type, attributes. */
static void describe(const Found* f, uint8_t reply[6]) {
    static const uint8_t flt[4] = {'f', 'l', 't', ' '}, fpe2[4] = {'f', 'p', 'e', '2'},
                         sp78[4] = {'s', 'p', '7', '8'}, ui8[4] = {'u', 'i', '8', ' '},
                         ui16[4] = {'u', 'i', '1', '6'}, ui32[4] = {'u', 'i', '3', '2'};
    const uint8_t* type = ui8;
    if (f->name[0] == '#')
        type = ui32;
    else if (f->size == 4)
        type = flt;
    else if (f->size == 2)
        type = f->name[0] == 'F' ? (f->name[1] == 'S' ? ui16 : fpe2) : sp78;
    reply[0] = f->size;
    copyBytes(reply + 1, type, 4);
    reply[5] = (uint8_t)(ATTRIBUTE_READ | (f->writable ? ATTRIBUTE_WRITE : 0));
}

static void countAccess(SmcEmulated* smc) {
    smc->accesses++;
    if (smc->stopAfter && --smc->stopAfter == 0)
        smc->silent = 1;
}

/* ---- ports ------------------------------------------------------------------------------- */

static void portEnd(SmcEmulated* smc, uint8_t result) {
    smc->portPhase = PORT_IDLE;
    smc->portResult = result;
}

static uint8_t portStatus(const SmcEmulated* smc) {
    if (smc->silent || smc->now < smc->portReadyAt)
        return SMC_STATUS_INPUT_FULL | SMC_STATUS_BUSY;
    switch (smc->portPhase) {
    case PORT_IDLE:
        return 0;
    case PORT_REPLY:
        return SMC_STATUS_BUSY | SMC_STATUS_AWAITING_DATA;
    default:
        return SMC_STATUS_BUSY;
    }
}

static void portExecute(SmcEmulated* smc) {
    Found f;
    const int known = lookUp(smc, smc->portArg, &f);
    smc->portPosition = 0;
    switch (smc->portCommand) {
    case SMC_CMD_READ:
        if (!known) {
            portEnd(smc, SMC_RESULT_NOT_FOUND);
            return;
        }
        if (smc->portLength != f.size) {
            portEnd(smc, SMC_RESULT_SIZE_MISMATCH);
            return;
        }
        copyBytes(smc->portBuffer, f.data, f.size);
        smc->portCount = f.size;
        smc->portPhase = PORT_REPLY;
        return;
    case SMC_CMD_WRITE:
        if (!known) {
            portEnd(smc, SMC_RESULT_NOT_FOUND);
            return;
        }
        if (!f.writable) {
            portEnd(smc, SMC_RESULT_NOT_WRITABLE);
            return;
        }
        if (smc->portLength != f.size) {
            portEnd(smc, SMC_RESULT_SIZE_MISMATCH);
            return;
        }
        smc->portCount = f.size;
        smc->portPhase = PORT_WRITE;
        return;
    case SMC_CMD_KEY_INFO:
        if (!known) {
            portEnd(smc, SMC_RESULT_NOT_FOUND);
            return;
        }
        describe(&f, smc->portBuffer);
        smc->portCount = smc->portLength < 6 ? smc->portLength : 6;
        smc->portPhase = smc->portCount ? PORT_REPLY : PORT_IDLE;
        return;
    case SMC_CMD_KEY_AT_INDEX: {
        const uint32_t index = (uint32_t)smc->portArg[0] << 24 | (uint32_t)smc->portArg[1] << 16 |
                               (uint32_t)smc->portArg[2] << 8 | smc->portArg[3];
        if (!nameAtIndex(smc, index, smc->portBuffer)) {
            portEnd(smc, RESULT_INDEX_RANGE);
            return;
        }
        smc->portCount = smc->portLength < 4 ? smc->portLength : 4;
        smc->portPhase = smc->portCount ? PORT_REPLY : PORT_IDLE;
        return;
    }
    default: {
        portEnd(smc, RESULT_BAD_COMMAND);
        return;
    }
    }
}

static void portWriteCommand(SmcEmulated* smc, uint8_t value) {
    if (smc->now < smc->portReadyAt) {
        smc->portResult = RESULT_COLLISION; /* written while the input buffer was full: lost */
        return;
    }
    smc->portCommand = value;
    smc->portArgCount = 0;
    smc->portResult = 0;
    smc->portPhase = PORT_ARGUMENT;
    smc->portReadyAt = smc->now + smc->latencyUs;
}

static void portWriteData(SmcEmulated* smc, uint8_t value) {
    if (smc->now < smc->portReadyAt) {
        /* The byte is lost and the command with it. */
        portEnd(smc, RESULT_COLLISION);
        return;
    }
    if (smc->portPhase != PORT_ARGUMENT && smc->portPhase != PORT_LENGTH &&
        smc->portPhase != PORT_WRITE) {
        smc->portResult = RESULT_SPURIOUS;
        return;
    }
    smc->portReadyAt = smc->now + smc->latencyUs;
    switch (smc->portPhase) {
    case PORT_ARGUMENT:
        smc->portArg[smc->portArgCount++] = value;
        if (smc->portArgCount == 4)
            smc->portPhase = PORT_LENGTH;
        break;
    case PORT_LENGTH:
        smc->portLength = value;
        portExecute(smc);
        break;
    default:
        smc->portBuffer[smc->portPosition++] = value;
        if (smc->portPosition == smc->portCount) {
            Found f;
            if (lookUp(smc, smc->portArg, &f) && f.stored)
                copyBytes(f.stored->data, smc->portBuffer,
                          smc->portCount < sizeof f.stored->data ? smc->portCount
                                                                 : sizeof f.stored->data);
            portEnd(smc, 0);
        }
        break;
    }
}

static uint8_t portReadData(SmcEmulated* smc) {
    uint8_t value;
    if (smc->portPhase != PORT_REPLY || smc->now < smc->portReadyAt)
        return 0;
    value = smc->portBuffer[smc->portPosition++];
    smc->portReadyAt = smc->now + smc->latencyUs;
    if (smc->portPosition == smc->portCount)
        portEnd(smc, 0);
    return value;
}

static uint8_t emuPortRead(void* context, uint16_t port) {
    SmcEmulated* smc = (SmcEmulated*)context;
    if (!smc->portsAnswer || port < SMC_EMU_PORT_BASE || port >= SMC_EMU_PORT_BASE + SMC_PORT_SPAN)
        return 0xFF;
    countAccess(smc);
    switch (port - SMC_EMU_PORT_BASE) {
    case SMC_PORT_COMMAND:
        return portStatus(smc);
    case SMC_PORT_DATA:
        return smc->silent ? 0 : portReadData(smc);
    case SMC_PORT_RESULT:
        return smc->portResult;
    default:
        return 0;
    }
}

static void emuPortWrite(void* context, uint16_t port, uint8_t value) {
    SmcEmulated* smc = (SmcEmulated*)context;
    if (!smc->portsAnswer || port < SMC_EMU_PORT_BASE || port >= SMC_EMU_PORT_BASE + SMC_PORT_SPAN)
        return;
    countAccess(smc);
    if (smc->silent)
        return;
    if (port - SMC_EMU_PORT_BASE == SMC_PORT_COMMAND)
        portWriteCommand(smc, value);
    else if (port - SMC_EMU_PORT_BASE == SMC_PORT_DATA)
        portWriteData(smc, value);
}

/* ---- window ------------------------------------------------------------------------------ */

static void windowSettle(SmcEmulated* smc) {
    if (!smc->windowPending || smc->silent || smc->now < smc->windowDoneAt)
        return;
    copyBytes(smc->registers, smc->windowReply, smc->windowReplyBytes);
    if (smc->windowReplyLength)
        smc->registers[SMC_WINDOW_LENGTH] = smc->windowReplyLength;
    smc->registers[SMC_WINDOW_COMMAND] = smc->windowReplyResult;
    smc->windowStatus |= SMC_WINDOW_DONE;
    smc->windowPending = 0;
}

static uint8_t windowExecute(SmcEmulated* smc) {
    uint8_t* r = smc->registers;
    Found f;
    const int known = lookUp(smc, r + SMC_WINDOW_KEY, &f);
    smc->windowReplyBytes = 0;
    smc->windowReplyLength = 0;
    if (r[SMC_WINDOW_SMC_ID] != 0)
        return RESULT_BAD_PARAMETER;
    switch (r[SMC_WINDOW_COMMAND]) {
    case SMC_CMD_READ:
        if (!known)
            return SMC_RESULT_NOT_FOUND;
        copyBytes(smc->windowReply, f.data, f.size);
        smc->windowReplyBytes = f.size;
        smc->windowReplyLength = f.size;
        return 0;
    case SMC_CMD_WRITE:
        if (!known)
            return SMC_RESULT_NOT_FOUND;
        if (!f.writable)
            return SMC_RESULT_NOT_WRITABLE;
        if (r[SMC_WINDOW_LENGTH] != f.size)
            return SMC_RESULT_SIZE_MISMATCH;
        for (uint8_t i = 0; i < f.size && i < sizeof f.stored->data && f.stored; ++i)
            f.stored->data[i] = smc->windowCorrupt ? (uint8_t)(r[i] ^ 0xA5u) : r[i];
        if (smc->windowCorrupt)
            smc->corruptedWrites++;
        return 0;
    case SMC_CMD_KEY_INFO: {
        uint8_t reply[6];
        if (!known)
            return SMC_RESULT_NOT_FOUND;
        describe(&f, reply);
        smc->windowReply[SMC_WINDOW_INFO_SIZE] = reply[0];
        copyBytes(smc->windowReply + SMC_WINDOW_INFO_TYPE, reply + 1, 4);
        smc->windowReply[4] = 0;
        smc->windowReply[SMC_WINDOW_INFO_ATTRIBUTES] = reply[5];
        smc->windowReplyBytes = 7;
        return 0;
    }
    case SMC_CMD_KEY_AT_INDEX: {
        const uint8_t* k = r + SMC_WINDOW_KEY;
        const uint32_t index =
            (uint32_t)k[0] << 24 | (uint32_t)k[1] << 16 | (uint32_t)k[2] << 8 | k[3];
        if (!nameAtIndex(smc, index, smc->windowReply))
            return RESULT_INDEX_RANGE;
        smc->windowReplyBytes = 4;
        return 0;
    }
    default:
        return RESULT_BAD_COMMAND;
    }
}

static uint32_t emuWindowRead(void* context, uint32_t offset, uint8_t width) {
    SmcEmulated* smc = (SmcEmulated*)context;
    uint32_t value = 0;
    if (!smc->windowAnswers || width == 0 || width > 4)
        return 0xFFFFFFFFu;
    countAccess(smc);
    windowSettle(smc);
    for (uint8_t i = 0; i < width; ++i) {
        const uint32_t o = offset + i;
        uint8_t b = 0;
        if (o == SMC_WINDOW_STATUS)
            b = smc->silent ? 0 : smc->windowStatus;
        else if (o < sizeof smc->registers)
            b = smc->registers[o];
        value |= (uint32_t)b << (8 * i);
    }
    return value;
}

static void emuWindowWrite(void* context, uint32_t offset, uint8_t width, uint32_t value) {
    SmcEmulated* smc = (SmcEmulated*)context;
    const uint32_t end = offset + width;
    if (!smc->windowAnswers || width == 0 || width > 4)
        return;
    countAccess(smc);
    if (smc->silent)
        return;
    windowSettle(smc);
    /* Length, SMC id and command take 8-bit stores only, the key one 32-bit store. */
    if (offset <= SMC_WINDOW_COMMAND && end > SMC_WINDOW_LENGTH && width != 1) {
        smc->wrongWidthStores++;
        smc->windowCorrupt = 1;
    }
    if (offset < SMC_WINDOW_KEY + 4 && end > SMC_WINDOW_KEY &&
        !(offset == SMC_WINDOW_KEY && width == 4)) {
        smc->wrongWidthStores++;
        smc->windowCorrupt = 1;
    }
    for (uint8_t i = 0; i < width; ++i) {
        const uint32_t o = offset + i;
        const uint8_t b = (uint8_t)(value >> (8 * i));
        if (o == SMC_WINDOW_STATUS)
            smc->windowStatus = b;
        else if (o < sizeof smc->registers)
            smc->registers[o] = b;
    }
    if (offset <= SMC_WINDOW_COMMAND && end > SMC_WINDOW_COMMAND) {
        smc->windowReplyResult = windowExecute(smc);
        smc->windowCorrupt = 0;
        smc->windowPending = 1;
        smc->windowDoneAt = smc->now + smc->latencyUs;
    }
}

static void emuStall(void* context, uint32_t microseconds) {
    ((SmcEmulated*)context)->now += microseconds;
}

/* ---- set-up ------------------------------------------------------------------------------ */

void smcEmuSetMachine(SmcEmulated* smc, uint8_t machine) {
    smc->portsAnswer = machine == SMC_SIM_MACHINE_PORTS || machine == SMC_SIM_MACHINE_DEAD_WINDOW;
    smc->windowAnswers = machine == SMC_SIM_MACHINE_PORTS || machine == SMC_SIM_MACHINE_T2;
    smc->generation = machine == SMC_SIM_MACHINE_T2 ? 2 : 1;
}

int smcEmuLoadTable(SmcEmulated* smc, uint8_t table) {
    const SmcSimKey* keys = table == SMC_SIM_TABLE_T2 ? t2Keys : olderKeys;
    const uint32_t count = table == SMC_SIM_TABLE_T2 ? sizeof t2Keys / sizeof t2Keys[0]
                                                     : sizeof olderKeys / sizeof olderKeys[0];
    if (table != SMC_SIM_TABLE_T2 && table != SMC_SIM_TABLE_OLDER)
        return 0;
    smc->keyCount = 0;
    for (uint32_t i = 0; i < count && i < SMC_SIM_MAX_KEYS; ++i)
        copyBytes(&smc->keys[smc->keyCount++], &keys[i], sizeof(SmcSimKey));
    return 1;
}

int smcEmuSetKey(SmcEmulated* smc, const SmcSimKey* key) {
    SmcSimKey* k = smcEmuFind(smc, (const uint8_t*)key->key);
    if (key->size == 0) {
        if (k) {
            const uint32_t last = smc->keyCount - 1;
            if (k != &smc->keys[last])
                copyBytes(k, &smc->keys[last], sizeof(SmcSimKey));
            smc->keyCount = last;
        }
        return 1;
    }
    if (key->size != 1 && key->size != 2 && key->size != 4)
        return 0;
    if (!k) {
        if (smc->keyCount >= SMC_SIM_MAX_KEYS)
            return 0;
        k = &smc->keys[smc->keyCount++];
    }
    copyBytes(k, key, sizeof(SmcSimKey));
    return 1;
}

void smcEmuInit(SmcEmulated* smc) {
    uint8_t* bytes = (uint8_t*)smc;
    for (uint32_t i = 0; i < sizeof *smc; ++i)
        bytes[i] = 0;
    smcEmuSetMachine(smc, SMC_SIM_MACHINE_PORTS);
    smc->latencyUs = 10;
    smcEmuLoadTable(smc, SMC_SIM_TABLE_T2);
}

void smcEmuAccess(SmcEmulated* smc, SmcAccess* access) {
    access->context = smc;
    access->portRead = emuPortRead;
    access->portWrite = emuPortWrite;
    access->windowRead = emuWindowRead;
    access->windowWrite = emuWindowWrite;
    access->stall = emuStall;
}
