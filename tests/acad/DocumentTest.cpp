// Documents: opening and closing, current and active documents, the working
// database, locks, iteration, lines sent for later execution, editor reactors.
#include <gtest/gtest.h>

#include <vector>

#include "HostTesting.h"
#include "aced.h"
#include "acdocman.h"
#include "aced/doc/DocManager.h"
#include "acutads.h"
#include "aced/doc/HostEditor.h"
#include "aced/host/HostState.h"

using tabrik::acad::docManager;
using tabrik::acad::testing::lockCount;

namespace {

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { tabrik::acad::testing::resetHost(); }
  void TearDown() override { tabrik::acad::testing::resetHost(); }
};

std::vector<std::wstring> iteratedNames() {
  std::vector<std::wstring> names;
  AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
  for (; !it->done(); it->step()) names.push_back(it->document()->fileName());
  delete it;
  return names;
}

class SaveRecorder : public AcEditorReactor {
 public:
  void saveComplete(AcDbDatabase* database, const ACHAR* actualName) override {
    saves.push_back(actualName);
    if (detachOnSave) acedEditor->removeReactor(this);
  }
  std::vector<std::wstring> saves;
  bool detachOnSave = false;
};

}  // namespace

TEST_F(DocumentTest, OpeningMakesTheDocumentCurrentActiveAndWorking) {
  auto* first = docManager().open(L"Drawing1.dwg");
  auto* second = docManager().open(docManager().nextDrawingName());
  EXPECT_STREQ(second->fileName(), L"Drawing2.dwg");
  EXPECT_EQ(acDocManager->curDocument(), second);
  EXPECT_EQ(acDocManager->mdiActiveDocument(), second);
  EXPECT_EQ(curDoc(), second);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), second->database());
  EXPECT_EQ(acDocManager->document(first->database()), first);
  EXPECT_EQ(acDocManager->documentCount(), 2);
  EXPECT_EQ(iteratedNames(), (std::vector<std::wstring>{L"Drawing1.dwg", L"Drawing2.dwg"}));
}

TEST_F(DocumentTest, TheWorkingDatabaseFollowsTheCurrentDocument) {
  auto* first = docManager().open(L"a.dwg");
  auto* second = docManager().open(L"b.dwg");
  EXPECT_EQ(acDocManager->setCurDocument(first, AcAp::kNone, /*activate=*/false), Acad::eOk);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), first->database());
  EXPECT_EQ(acDocManager->mdiActiveDocument(), second);
  EXPECT_EQ(acDocManager->activateDocument(first, false), Acad::eOk);
  EXPECT_EQ(acDocManager->mdiActiveDocument(), first);
}

TEST_F(DocumentTest, LocksCountAndUnlockingAnUnlockedDocumentIsRefused) {
  auto* document = docManager().open(L"Drawing1.dwg");
  EXPECT_EQ(document->lockMode(), AcAp::kNone);
  EXPECT_EQ(acDocManager->lockDocument(document, AcAp::kWrite, nullptr, nullptr, true), Acad::eOk);
  EXPECT_EQ(acDocManager->lockDocument(document, AcAp::kWrite, nullptr, nullptr, true), Acad::eOk);
  EXPECT_EQ(lockCount(document), 2);
  EXPECT_EQ(document->lockMode(), AcAp::kWrite);
  EXPECT_EQ(acDocManager->unlockDocument(document), Acad::eOk);
  EXPECT_EQ(acDocManager->unlockDocument(document), Acad::eOk);
  EXPECT_EQ(lockCount(document), 0);
  EXPECT_EQ(acDocManager->unlockDocument(document), Acad::eNotApplicable);
  EXPECT_EQ(lockCount(document), 0);
}

TEST_F(DocumentTest, DocumentsThatAreNotOpenAreRejected) {
  EXPECT_EQ(acDocManager->lockDocument(nullptr, AcAp::kWrite, nullptr, nullptr, true),
            Acad::eInvalidInput);
  EXPECT_EQ(acDocManager->unlockDocument(nullptr), Acad::eInvalidInput);
  EXPECT_EQ(acDocManager->document(nullptr), nullptr);
  auto* document = docManager().open(L"x.dwg");
  docManager().close(document);
  EXPECT_EQ(acDocManager->setCurDocument(document, AcAp::kNone, false), Acad::eInvalidInput);
  EXPECT_EQ(acDocManager->curDocument(), nullptr);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), nullptr);
}

TEST_F(DocumentTest, ClosingTheActiveDocumentActivatesTheLastOpenedOne) {
  auto* first = docManager().open(L"one.dwg");
  docManager().open(L"two.dwg");
  auto* third = docManager().open(L"three.dwg");
  acDocManager->activateDocument(first, false);
  EXPECT_TRUE(docManager().close(first));
  EXPECT_EQ(acDocManager->mdiActiveDocument(), third);
  EXPECT_EQ(acDocManager->curDocument(), third);
  EXPECT_EQ(iteratedNames(), (std::vector<std::wstring>{L"two.dwg", L"three.dwg"}));
  EXPECT_FALSE(docManager().close(first));
}

TEST_F(DocumentTest, FindIgnoresLetterCaseAndNewNamesSkipOpenOnes) {
  docManager().open(L"C:\\Work\\Plan.dwg");
  EXPECT_NE(docManager().find(L"c:\\work\\PLAN.DWG"), nullptr);
  EXPECT_EQ(docManager().find(L"Plan.dwg"), nullptr);
  docManager().open(L"Drawing1.dwg");
  EXPECT_EQ(docManager().nextDrawingName(), L"Drawing2.dwg");
}

TEST_F(DocumentTest, QuiescenceAndTitle) {
  auto* document = docManager().open(L"/tmp/folder/Plan.dwg");
  EXPECT_TRUE(document->isQuiescent());
  document->setQuiescent(false);
  EXPECT_FALSE(document->isQuiescent());
  EXPECT_STREQ(document->docTitle(), L"Plan.dwg");
}

TEST_F(DocumentTest, SentStringsWaitInTheirDocument) {
  auto* first = docManager().open(L"one.dwg");
  auto* second = docManager().open(L"two.dwg");
  EXPECT_EQ(acDocManager->sendStringToExecute(first, L"(princ)\n", /*activate=*/true, false, false),
            Acad::eOk);
  EXPECT_EQ(first->pendingLines().size(), 1u);
  EXPECT_TRUE(second->pendingLines().empty());
  EXPECT_EQ(acDocManager->mdiActiveDocument(), first);
  EXPECT_EQ(acDocManager->sendStringToExecute(nullptr, L"x", true, false, false),
            Acad::eInvalidInput);
  docManager().runPendingLines();
  EXPECT_TRUE(first->pendingLines().empty());
}

TEST_F(DocumentTest, TheEditorIsRegisteredAndItsReactorsHearSaves) {
  AcEditor* editor = acedEditor;
  ASSERT_NE(editor, nullptr);
  SaveRecorder staying;
  SaveRecorder leaving;
  leaving.detachOnSave = true;
  editor->addReactor(&leaving);
  editor->addReactor(&staying);
  editor->addReactor(&staying);
  auto* document = docManager().open(L"Drawing1.dwg");
  tabrik::acad::hostEditor().fireSaveComplete(document->database(), L"/tmp/a.dxf");
  tabrik::acad::hostEditor().fireSaveComplete(document->database(), L"/tmp/b.dxf");
  EXPECT_EQ(staying.saves, (std::vector<std::wstring>{L"/tmp/a.dxf", L"/tmp/b.dxf"}));
  EXPECT_EQ(leaving.saves, (std::vector<std::wstring>{L"/tmp/a.dxf"}));
  editor->removeReactor(&staying);
  EXPECT_EQ(tabrik::acad::hostEditor().reactorCount(), 0u);
}

TEST_F(DocumentTest, DialogScriptsAndStringAnswersQueueSeparately) {
  using namespace tabrik::acad::testing;
  queueAnswer(L"first");
  tabrik::acad::hostState().queueAnswer(tabrik::acad::Answer{
      L"", tabrik::acad::ResbufPtr(acutBuildList(RTLB, RTSTR, L"press", RTLE, 0))});
  queueAnswer(L"second");
  resbuf* script = takeDialogScript();
  ASSERT_NE(script, nullptr);
  EXPECT_EQ(script->restype, RTLB);
  EXPECT_STREQ(script->rbnext->resval.rstring, L"press");
  acutRelRb(script);
  EXPECT_EQ(takeDialogScript(), nullptr);
  EXPECT_EQ(takeTextAnswer(), std::optional<std::wstring>(L"first"));
  EXPECT_EQ(takeTextAnswer(), std::optional<std::wstring>(L"second"));
  EXPECT_EQ(takeTextAnswer(), std::nullopt);
  queueInput("~1,2");
  EXPECT_EQ(takeInputToken(""), std::optional<std::string>("~1,2"));
  EXPECT_EQ(takeInputToken(""), std::nullopt);
}
