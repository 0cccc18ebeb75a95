// The player's controller mappings: read when they are a regular file, refused at once when
// a FIFO lies in their place, and nothing said when there are none.
#include "app/ControllerMappings.h"
#include "tests/support/TestSupport.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(ControllerMappings, ARegularFileIsReadAndAFifoRefusedWithoutWaiting)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    TempFolder tmp;
    const std::filesystem::path file = tmp.Path() / "gamecontrollerdb.txt";
    EXPECT_EQ(AddControllerMappings(file), "");
    tmp.Write("gamecontrollerdb.txt",
              "# two pads\n"
              "03000000341200007856000001010000,Test Pad,a:b0,b:b1,start:b7,leftx:a0,lefty:a1,platform:Linux,\n"
              "03000000214300006587000001010000,Other Pad,a:b1,b:b0,start:b9,platform:Linux,\n");
    EXPECT_EQ(AddControllerMappings(file), " Controller mappings read: 2");
    std::filesystem::remove(file);
    ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);
    EXPECT_EQ(AddControllerMappings(file), " Controller mappings not read: " + file.string() + " is a FIFO, not a file");
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}
