#include "contract/task_scheduler_contract.h"
#include "settings/autostart_task.h"

#include <chrono>

namespace {
std::wstring uniqueName() {
    return L"VentrasolContract" +
           std::to_wstring(std::chrono::steady_clock::now().time_since_epoch().count());
}
} // namespace

TEST_P(TaskSchedulerContract, ARegisteredTaskIsFoundUntilDeletedAndDeletingTwiceIsHarmless) {
    const auto scheduler = GetParam().make();
    const std::wstring user = scheduler->currentUserId();
    ASSERT_EQ(user.rfind(L"S-1-", 0), 0u) << std::string(user.begin(), user.end());
    const std::wstring account = scheduler->currentUserName();
    const std::size_t cut = account.find(L'\\'); // "DOMAIN\user"
    EXPECT_TRUE(cut != std::wstring::npos && cut > 0 && cut + 1 < account.size())
        << std::string(account.begin(), account.end());
    std::wstring xml;
    ASSERT_EQ(autostartTaskXml({L"C:\\Programme & Co\\Lüfter\\v.exe", user, true}, &xml),
              TaskXml::Done);
    const std::wstring name = uniqueName();

    std::wstring read = L"unchanged";
    EXPECT_FALSE(scheduler->readTask(name, &read));
    EXPECT_EQ(read, L"unchanged");
    ASSERT_TRUE(scheduler->registerTask(name, xml));
    EXPECT_TRUE(scheduler->registerTask(name, xml)); // replaces
    ASSERT_TRUE(scheduler->readTask(name, &read));
    EXPECT_NE(read.find(L"<Task"), std::wstring::npos);
    // Windows keeps the principal, as the SID or the account's name; Wine keeps none.
    const std::wstring principal = taskPrincipal(read);
    EXPECT_TRUE(principal.empty() || principal == user || principal == account)
        << std::string(principal.begin(), principal.end());
    EXPECT_TRUE(scheduler->deleteTask(name));
    EXPECT_FALSE(scheduler->readTask(name, &read));
    EXPECT_TRUE(scheduler->deleteTask(name));
}

TEST_P(TaskSchedulerContract, TextThatIsNoTaskIsRefused) {
    const auto scheduler = GetParam().make();
    const std::wstring name = uniqueName();
    EXPECT_FALSE(scheduler->registerTask(name, L"kein Aufgaben-XML"));
    std::wstring read;
    EXPECT_FALSE(scheduler->readTask(name, &read));
}
