#include <string>
#include <vector>

#include "playback/device_list.h"
#include "resources/resource_ids.h"
#include "tests/program_test.h"

namespace {

class DeviceListTest : public ProgramTest {};

TEST_F(DeviceListTest, KeepsTheReportedOrderWithDuplicates) {
    fake.devices = {
        {true, MakeGuid(0x10), "Динамики"},
        {false, GUID{}, "Основной звуковой драйвер"},
        {true, MakeGuid(0x30), "Динамики"},
    };
    EXPECT_EQ(ListOutputDevices(), 0);

    EXPECT_EQ(fake.controls[IDC_DEVICE].items,
              (std::vector<std::string>{"Динамики", "Основной звуковой драйвер", "Динамики"}));
    ASSERT_EQ(deviceTable.deviceCount, 3);
    EXPECT_TRUE(deviceTable.entries[0].hasIdentifier);
    EXPECT_EQ(GuidText(deviceTable.entries[0].identifier), GuidText(MakeGuid(0x10)));
    EXPECT_FALSE(deviceTable.entries[1].hasIdentifier);
    EXPECT_EQ(GuidText(deviceTable.entries[2].identifier), GuidText(MakeGuid(0x30)));
}

TEST_F(DeviceListTest, IdentifierIsCopiedNotReferenced) {
    fake.devices = {{true, MakeGuid(0x10), "a"}};
    ListOutputDevices();
    fake.devices[0].identifier = MakeGuid(0x99);
    EXPECT_EQ(GuidText(deviceTable.entries[0].identifier), GuidText(MakeGuid(0x10)));
}

TEST_F(DeviceListTest, StopsAtThirtyTwoSoItemsMatchEntries) {
    for (int count : {32, 33, 40}) {
        SCOPED_TRACE(count);
        SetUp();
        fake.devices.clear();
        for (int i = 0; i < count; ++i) {
            fake.devices.push_back(
                {true, MakeGuid(static_cast<uint32_t>(i)), "device " + std::to_string(i)});
        }
        EXPECT_EQ(ListOutputDevices(), 0);
        ASSERT_EQ(deviceTable.deviceCount, 32);
        ASSERT_EQ(fake.controls[IDC_DEVICE].items.size(), 32u);
        for (int i = 0; i < 32; ++i) {
            EXPECT_EQ(fake.controls[IDC_DEVICE].items[static_cast<size_t>(i)],
                      "device " + std::to_string(i));
            EXPECT_EQ(deviceTable.entries[i].identifier.Data1, static_cast<uint32_t>(i));
        }
    }
}

TEST_F(DeviceListTest, ReturnsThePlatformFailureUnchanged) {
    fake.devices = {{true, MakeGuid(1), "a"}};
    fake.enumerateResult = static_cast<HRESULT>(0x80004005);
    EXPECT_EQ(ListOutputDevices(), static_cast<HRESULT>(0x80004005));
}

TEST_F(DeviceListTest, ChosenItemOpensItsOwnDevice) {
    fake.devices = {{true, MakeGuid(0x10), "a"}, {false, GUID{}, "b"}};
    MainDialogProc(FakeDialog(), WM_INITDIALOG, 0, 0);
    const char* const expected[] = {
        "DirectSoundCreate({00000010-1234-5678-0102-030405060708})",
        "DirectSoundCreate(default)",
    };
    for (int item = 0; item < 2; ++item) {
        fake.controls[IDC_DEVICE].selection = item;
        fake.calls.clear();
        MainDialogProc(FakeDialog(), WM_COMMAND, IDC_START, 0);
        ASSERT_FALSE(fake.calls.empty());
        EXPECT_EQ(fake.calls[0], expected[item]);
        MainDialogProc(FakeDialog(), WM_COMMAND, IDC_START, 0);
    }
}

}  // namespace
