#include "contract/device_io_contract.h"
#include "platform/win32/win32_device_io.h"
#include "win/smc_simulator.h"

INSTANTIATE_TEST_SUITE_P(Win32, DeviceIoContract,
                         ::testing::Values(DeviceIoSubject{
                             "Win32",
                             [] {
                                 // The simulator behind \\.\APPLESMC, fresh from its table.
                                 EXPECT_TRUE(SmcSimulator::ensureRunning());
                                 SmcSimulator().reset();
                                 return std::make_unique<Win32DeviceIo>();
                             },
                             L"\\\\.\\APPLESMC"}),
                         deviceIoSubjectName);
