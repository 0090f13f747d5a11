// Units of camera work: one at a time across threads, nested on one thread, and the link
// closed by the outermost unit unless it is of link type 1.
#include "camera/CameraTestSupport.h"

using WorkUnitTest = CameraTest;

namespace {
// Runs one unit on its own thread: connect, list, end.
struct ThreadUnit {
    CameraConnection* connection;
    unsigned count = 0;
};

DWORD WINAPI RunUnit(void* parameter)
{
    auto* unit = static_cast<ThreadUnit*>(parameter);
    CameraWork work(unit->connection, nullptr);
    if (work.Connect()) work->QueryMediaFree();
    unit->count = static_cast<unsigned>(PelSim_LogCount());
    return 0;
}
}  // namespace

TEST_F(WorkUnitTest, UnitOnAnotherThreadWaitsUntilTheRunningOneEnds)
{
    CameraConnection* connection = Acquire();
    ThreadUnit unit{connection};
    HANDLE thread = nullptr;
    {
        CameraWork work(connection, m_view.Window());
        ASSERT_TRUE(work.Connect());
        thread = CreateThread(nullptr, 0, RunUnit, &unit, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        EXPECT_EQ(WaitForSingleObject(thread, 300), static_cast<DWORD>(WAIT_TIMEOUT)) << "the second unit ran inside the first";
        work->QueryMediaFree();
    }
    ASSERT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(thread);

    EXPECT_EQ(CameraCalls(), (std::vector<std::string>{"ZQ_OpenComm 0", "ZQ_StopAcquisition", "ZQ_SetAcquisitionMode 0",
                                                       "ZQ_GetMediaFree", "ZQ_CloseComm", "ZQ_OpenComm 0",
                                                       "ZQ_StopAcquisition", "ZQ_SetAcquisitionMode 0", "ZQ_GetMediaFree",
                                                       "ZQ_CloseComm"}));
    EXPECT_EQ(m_capture.Count(), 0u);
}

TEST_F(WorkUnitTest, OutermostUnitClosesTheLinkUnlessItIsOfTypeOne)
{
    const struct {
        int firstOpenStatus;  // of link type 0
        bool deactivated;     // a view went inactive while the unit ran
        bool openAfterUnit;
    } cases[] = {{0, false, false}, {2, false, true}, {2, true, false}};
    for (const auto& c : cases) {
        PelSim_Reset();
        PelSim_SetOpenResult(0, c.firstOpenStatus, 0);
        CameraConnection* connection = Acquire();
        {
            CameraWork outer(connection, m_view.Window());
            ASSERT_TRUE(outer.Connect());
            {
                CameraWork inner(connection, nullptr);
                ASSERT_TRUE(inner.Connect());
            }
            EXPECT_TRUE(PelSim_IsLinkOpen()) << "a nested unit closed the link";
            if (c.deactivated) connection->DisconnectWhenIdle();
            EXPECT_TRUE(PelSim_IsLinkOpen()) << "closed under the running unit";
        }
        EXPECT_EQ(PelSim_IsLinkOpen() != 0, c.openAfterUnit) << c.firstOpenStatus << c.deactivated;
        connection->DisconnectWhenIdle();
        EXPECT_FALSE(PelSim_IsLinkOpen());
        ReleaseCameraConnection();
        --m_cUses;
    }
}
