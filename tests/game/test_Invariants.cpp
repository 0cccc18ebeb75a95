// The bookkeeping checker the simulator and the soak test rely on: it must pass a sound
// board and name each kind of broken book.
#include "game/Invariants.h"
#include "tests/game/RulesFixture.h"

#include <gtest/gtest.h>

namespace
{
bool Mentions(const std::string& report, const std::string& what)
{
    return report.find(what) != std::string::npos;
}

struct InvariantsTest : public ::testing::Test
{
    InvariantsTest()
    {
        LayOut(R.Game, 2, 2, {"12J", "B.X", "3P4"});
        PutCube(R.Game, 5, 7, 7, csWaiting);
    }
    RulesGame R;
};

TEST_F(InvariantsTest, ASoundBoardPasses)
{
    EXPECT_EQ(CheckInvariants(R.Game), "");
    R.Game.ClearBoard();
    EXPECT_EQ(CheckInvariants(R.Game), "");

    // A selected cube, and one on its way.
    LayOut(R.Game, 1, 1, {"12"});
    R.Game.Select(1);
    EXPECT_EQ(CheckInvariants(R.Game), "");
    R.Game.SetState(1, csMoving);
    EXPECT_EQ(CheckInvariants(R.Game), "");
}

TEST_F(InvariantsTest, ACellInTwoPlacesIsReported)
{
    // The free list names an occupied cell (and so loses a free one).
    TGameSetup& g = R.Game;
    g.FreeCells[1] = {2, 2};
    const std::string report = CheckInvariants(g);
    EXPECT_TRUE(Mentions(report, "cell (2, 2) is in 2 places")) << report;
    EXPECT_TRUE(Mentions(report, "free cell (2, 2) is not coEmpty")) << report;
}

TEST_F(InvariantsTest, CountsThatDoNotAddUpAreReported)
{
    TGameSetup& g = R.Game;
    --g.FreeCount;
    EXPECT_TRUE(Mentions(CheckInvariants(g), "is not 81"));
    ++g.FreeCount;

    ++g.StateCounts[StateSlot(csIdle)];
    EXPECT_TRUE(Mentions(CheckInvariants(g), "StateCounts[3]"));
}

TEST_F(InvariantsTest, AStaleCellIndexIsReported)
{
    TGameSetup& g = R.Game;
    const int i = R.CubeAt(4, 4);
    g.Cells[4][4].Cube = static_cast<uint8_t>(i + 1);
    EXPECT_TRUE(Mentions(CheckInvariants(g), "cell (4, 4) names cube"));
}

TEST_F(InvariantsTest, WrongOccupancyIsReported)
{
    TGameSetup& g = R.Game;
    g.Cells[7][7].Occupancy = coOccupied; // under a waiting cube
    EXPECT_TRUE(Mentions(CheckInvariants(g), "cell (7, 7) has occupancy"));
    g.Cells[7][7].Occupancy = coReserved;
    g.Cells[2][2].Occupancy = coReserved; // under a cube at rest
    EXPECT_TRUE(Mentions(CheckInvariants(g), "cell (2, 2) has occupancy"));
}

TEST_F(InvariantsTest, ASelectionOfAnUnselectedCubeIsReported)
{
    TGameSetup& g = R.Game;
    g.Selected = 1; // at rest, not selected
    EXPECT_TRUE(Mentions(CheckInvariants(g), "Selected 1"));
    g.Selected = g.CubeCount + 1;
    EXPECT_TRUE(Mentions(CheckInvariants(g), "Selected"));
}
} // namespace
