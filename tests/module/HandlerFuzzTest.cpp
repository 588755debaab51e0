// Every handler of both tables against argument chains that LISP can send and ones it
// cannot (entity-data group codes, selection sets, void and unknown types, a string
// buffer without text): each call returns a status to the host and leaves the drawing
// unlocked. The chains come from a fixed-seed generator, so a failure repeats.
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "HostTesting.h"
#include "acedads.h"
#include "aced/ads/ExternalCall.h"
#include "aced/doc/DocManager.h"
#include "host/LispFunctionTable.h"

using namespace tabrik::arx;
using tabrik::acad::docManager;
using tabrik::acad::Document;
using tabrik::acad::ExternalCall;
using tabrik::acad::testing::lockCount;
using tabrik::acad::testing::OutputCapture;

namespace {

// Names no file system accepts as one path component: empty, or longer than any
// component may be.
const std::wstring kTexts[] = {L"", std::wstring(300, L'x'), std::wstring(300, L'\u00fc'),
                               L"*RTLB*"};

resbuf* randomElement(std::mt19937& random) {
  static const short kTypes[] = {RTREAL,    RTPOINT, RTSHORT, RTANG,   RTSTR, RTENAME, RTPICKS,
                                 RT3DPOINT, RTLONG,  RTVOID,  RTLB,    RTLE,  RTDOTE,  RTNIL,
                                 RTT,       RTNONE,  10,      40,      62,    1000,    1071,
                                 0,         -1,      4999,    RTRESBUF};
  const short type = kTypes[random() % std::size(kTypes)];
  resbuf* rb = acutNewRb(type);
  switch (type) {
    case RTREAL:
    case RTANG:
    case 40: {
      static const double kReals[] = {0.0, -2.5, 1e300, -1e300, 2147483648.0, 0.5};
      rb->resval.rreal = kReals[random() % std::size(kReals)];
      break;
    }
    case RTSHORT:
    case 62:
      rb->resval.rint = static_cast<short>(random());
      break;
    case RTLONG:
    case 1071:
      rb->resval.rlong = static_cast<std::int32_t>(random());
      break;
    case RTSTR:
    case 0:
    case 1000:
      // Sometimes a string buffer with no text at all.
      rb->resval.rstring =
          random() % 5 == 0 ? nullptr : acutNewString(kTexts[random() % std::size(kTexts)].c_str());
      break;
    case RTENAME:
    case RTPICKS:
    case -1:
      rb->resval.rlname[0] = static_cast<std::intptr_t>(random());
      rb->resval.rlname[1] = 0;
      break;
    case RTPOINT:
    case RT3DPOINT:
    case 10:
      for (double& v : rb->resval.rpoint) v = static_cast<double>(random() % 100) - 50.0;
      break;
    default:
      // Markers and types without a value of their own keep the zeroed value.
      break;
  }
  return rb;
}

resbuf* randomChain(std::mt19937& random) {
  const std::size_t length = random() % 4 == 0 ? 0 : random() % 12;
  resbuf* head = nullptr;
  resbuf** link = &head;
  for (std::size_t i = 0; i < length; ++i) {
    *link = randomElement(random);
    link = &(*link)->rbnext;
  }
  return head;
}

}  // namespace

TEST(HandlerFuzz, EveryHandlerReturnsAStatusAndUnlocks) {
  // The file functions act on what the random strings name ("*RTLB*" makes a folder):
  // they do it in a folder of the test's own.
  const std::filesystem::path previousFolder = std::filesystem::current_path();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tabrik-fuzz-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
  tabrik::acad::testing::resetHost();
  Document* document = docManager().open(L"Drawing1.dwg");
  registerFunctionTable(databaseFunctionTable(), 0);
  registerFunctionTable(drawingFunctionTable(), db::databaseFunctionCount());
  const int codes =
      static_cast<int>(databaseFunctionTable().size() + drawingFunctionTable().size());

  OutputCapture output;  // the messages of the calls are not the subject here
  std::mt19937 random(20100301);
  for (int round = 0; round < 40; ++round) {
    for (int code = 0; code < codes; ++code) {
      SCOPED_TRACE(::testing::Message() << "round " << round << " code " << code);
      ExternalCall call;
      const int status = tabrik::acad::runExternal(*document, code, randomChain(random), call);
      EXPECT_TRUE(status == RSRSLT || status == RSERR) << status;
      ASSERT_EQ(lockCount(document), 0);
    }
    output.take();
  }
  tabrik::acad::testing::resetHost();
  std::filesystem::current_path(previousFolder);
  std::filesystem::remove_all(folder);
}
