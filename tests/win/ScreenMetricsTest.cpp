// The host's screen size: TABRIK_SCREEN when it is a well-formed WIDTHxHEIGHT, else
// full HD.
#include <gtest/gtest.h>
#include <winuser.h>

#include <cstdlib>

TEST(ScreenMetrics, ComeFromTheConfiguredScreen) {
  struct Case {
    const char* given;
    int width;
    int height;
  };
  const Case cases[] = {{nullptr, 1920, 1080},     {"2560x1440", 2560, 1440},
                        {"800x600", 800, 600},     {"2560", 1920, 1080},
                        {"0x600", 1920, 1080},     {"-5x600", 1920, 1080},
                        {"800x600px", 1920, 1080}, {"", 1920, 1080}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given ? c.given : "(unset)");
    if (c.given) {
      setenv("TABRIK_SCREEN", c.given, 1);
    } else {
      unsetenv("TABRIK_SCREEN");
    }
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), c.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), c.height);
    EXPECT_EQ(GetSystemMetrics(99), 0);
  }
  unsetenv("TABRIK_SCREEN");
}
