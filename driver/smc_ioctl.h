/* The device's requests as the program sends them: buffered device I/O control codes of device
 * type 0x22, any access. Read and write take the key's four characters in reading order and a
 * size byte; a write adds exactly that many data bytes. */
#ifndef SMC_IOCTL_H
#define SMC_IOCTL_H

#define SMC_IOCTL_READ_KEY 0x220000u
#define SMC_IOCTL_WRITE_KEY 0x220004u
#define SMC_IOCTL_QUERY_MODE 0x220020u

#define SMC_DEVICE_NAME L"\\Device\\APPLESMC"
#define SMC_DEVICE_LINK L"\\DosDevices\\APPLESMC"

#endif
