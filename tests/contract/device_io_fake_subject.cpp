#include "contract/device_io_contract.h"
#include "fakes/fake_smc_device.h"

INSTANTIATE_TEST_SUITE_P(Fake, DeviceIoContract,
                         ::testing::Values(DeviceIoSubject{
                             "Fake", [] { return std::make_unique<FakeSmcDevice>(); },
                             L"\\\\.\\APPLESMC"}),
                         deviceIoSubjectName);
