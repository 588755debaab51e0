// What the host plugs into the runtime: builtins, external functions and their
// dispatcher, host variables, input requests, load, call by name, interrupt.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "LispTestSupport.h"

namespace tabrik::lisp::testing {
namespace {

class RecordingDispatcher : public ExternalDispatcher {
 public:
  std::vector<std::string> calls;
  Value callExternal(Runtime&, const ExternalCall& call) override {
    std::string record = call.name.symbolName() + "#" + std::to_string(call.code);
    for (const Value& arg : call.args) record += " " + arg.toPrin1String();
    calls.push_back(record);
    if (call.code == 99) throw LispError("tb_fail failed");
    return Value::integer(static_cast<std::int32_t>(call.args.size()));
  }
};

class HostInterfaceTest : public LispTest {
 protected:
  RecordingDispatcher dispatcher;
  void SetUp() override { runtime.setExternalDispatcher(&dispatcher); }
};

TEST_F(HostInterfaceTest, HostBuiltinsReceiveEvaluatedArguments) {
  runtime.defineBuiltin("host:twice", [](Runtime&, Args args) {
    checkArgCount(args, 1, 1);
    return Value::integer(intArg(args[0]) * 2);
  });
  EXPECT_EQ(run("(host:twice (+ 1 2))"), "6");
  EXPECT_EQ(run("(type host:twice)"), "SUBR");
  EXPECT_EQ(run("(host:twice)"), "!too few arguments");
  EXPECT_EQ(run("(host:twice \"x\")"), "!bad argument type: fixnump: \"x\"");
}

TEST_F(HostInterfaceTest, ExternalFunctionsGoThroughTheDispatcher) {
  runtime.defineExternal("tb_connect", 7);
  EXPECT_EQ(run("(type tb_connect)"), "EXRXSUBR");
  EXPECT_EQ(run("(tb_connect \"std.db\" (+ 1 1) '(1 . 2))"), "3");
  ASSERT_EQ(dispatcher.calls.size(), 1u);
  EXPECT_EQ(dispatcher.calls[0], "TB_CONNECT#7 \"std.db\" 2 (1 . 2)");
  std::string printed = run("tb_connect");
  EXPECT_EQ(printed.rfind("#<EXRXSUBR @", 0), 0u) << printed;
}

TEST_F(HostInterfaceTest, ExternalFailureIsAnEvaluationError) {
  runtime.defineExternal("tb_fail", 99);
  Outcome outcome =
      runtime.evaluateString("(defun *error* (m) (setq got m)) (tb_fail 1) (setq later t)");
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.error, "tb_fail failed");
  EXPECT_EQ(runtime.symbolValue("GOT").toPrin1String(), "\"tb_fail failed\"");
  EXPECT_TRUE(runtime.symbolValue("LATER").isNil());
  EXPECT_EQ(run("(vl-catch-all-error-message (vl-catch-all-apply 'tb_fail nil))"),
            "\"tb_fail failed\"");
}

TEST_F(HostInterfaceTest, DefunReplacesAnExternalAndUndefineOnlyRemovesExternals) {
  runtime.defineExternal("tb_x", 1);
  EXPECT_EQ(run("(defun tb_x () 'lisp) (tb_x)"), "LISP");
  EXPECT_FALSE(runtime.undefineExternal("tb_x"));
  EXPECT_EQ(run("(tb_x)"), "LISP");
  runtime.defineExternal("tb_y", 2);
  EXPECT_TRUE(runtime.undefineExternal("TB_Y"));
  EXPECT_EQ(run("(tb_y)"), "!no function definition: TB_Y");
}

TEST_F(HostInterfaceTest, CallFunctionByName) {
  run("(defun c:addnum (a b) (+ a b))");
  Value args[] = {Value::integer(2), Value::real(0.5)};
  Outcome outcome = runtime.callFunction("c:AddNum", Args(args, 2));
  ASSERT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.value.toPrin1String(), "2.5");
  Outcome missing = runtime.callFunction("nothing-here", {}, ErrorReport::Silent);
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, "no function definition: NOTHING-HERE");
  Outcome failing = runtime.callFunction("c:addnum", Args(args, 1), ErrorReport::Print);
  EXPECT_EQ(failing.error, "too few arguments");
  EXPECT_EQ(services.output, "; error: too few arguments\n");
}

TEST_F(HostInterfaceTest, AcadDefunExposureList) {
  EXPECT_FALSE(runtime.isAcadDefun("util-x"));
  run("(defun util-x () 1) (vl-acad-defun 'util-x)");
  EXPECT_TRUE(runtime.isAcadDefun("UTIL-X"));
  run("(vl-acad-undefun 'util-x)");
  EXPECT_FALSE(runtime.isAcadDefun("util-x"));
}

TEST_F(HostInterfaceTest, HostVariables) {
  static const Case cases[] = {
      {"(getvar \"luprec\")", "4"},
      {"(getvar \"NO-SUCH-VAR\")", "nil"},
      {"(setvar \"LUPREC\" 2)", "2"},
      {"(setvar \"LUPREC\" 2) (rtos 1.0)", "\"1.00\""},
      {"(setvar \"LUPREC\" \"x\")", "!AutoCAD variable setting rejected: \"LUPREC\" \"x\""},
      {"(setvar \"DBMOD\" 0)", "!AutoCAD variable setting rejected: \"DBMOD\" 0"},
      {"(setvar \"DIMZIN\" 8) (rtos 2.5 2 4)", "\"2.5\""},
  };
  runTable(cases);
}

class ScriptedInput : public CapturingServices {
 public:
  std::vector<InputRequest> requests;
  std::vector<InputReply> replies;
  InputReply requestInput(Runtime&, const InputRequest& request) override {
    requests.push_back(request);
    if (replies.empty()) return {InputStatus::Cancel, Value()};
    InputReply reply = replies.front();
    replies.erase(replies.begin());
    return reply;
  }
};

TEST(InputRequests, ArgumentsAndRepliesAreConverted) {
  ScriptedInput input;
  Runtime runtime(&input);
  input.replies = {
      {InputStatus::Normal, Value::point(1, 2, 0)},
      {InputStatus::None, Value()},
      {InputStatus::Keyword, Value::string("Yes")},
  };
  Outcome outcome = runtime.evaluateString(
      "(list (getpoint '(5 6) \"\\nPick: \") (getstring T \"Name: \")"
      "      (progn (initget 1 \"Yes No\") (getkword \"Sure? \")))",
      ErrorReport::Silent);
  ASSERT_TRUE(outcome.ok) << outcome.error;
  EXPECT_EQ(outcome.value.toPrin1String(), "((1.0 2.0 0.0) nil \"Yes\")");
  ASSERT_EQ(input.requests.size(), 3u);
  EXPECT_EQ(input.requests[0].kind, InputKind::Point);
  EXPECT_EQ(input.requests[0].prompt, "\nPick: ");
  ASSERT_TRUE(input.requests[0].base);
  EXPECT_EQ((*input.requests[0].base)[0], 5.0);
  EXPECT_EQ(input.requests[1].kind, InputKind::String);
  EXPECT_TRUE(input.requests[1].allowSpaces);
  EXPECT_EQ(input.requests[2].initgetBits, 1);
  EXPECT_EQ(input.requests[2].keywords, "Yes No");

  // initget applies to one request only; Escape cancels.
  Outcome cancelled = runtime.evaluateString("(getint \"n: \")", ErrorReport::Silent);
  EXPECT_EQ(cancelled.error, "Function cancelled");
  EXPECT_EQ(input.requests.back().initgetBits, 0);
  EXPECT_EQ(runtime.evaluateString("(getcorner \"x\")", ErrorReport::Silent).error,
            "bad argument type: 2D/3D point: \"x\"");
}

TEST(InputRequests, DefaultServicesCancel) {
  Runtime runtime;
  EXPECT_EQ(runtime
                .evaluateString("(vl-catch-all-error-message (vl-catch-all-apply 'getpoint nil))",
                                ErrorReport::Silent)
                .value.toPrin1String(),
            "\"Function cancelled\"");
}

class FileTest : public LispTest {
 protected:
  std::filesystem::path dir;
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("lisp_file_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string path(const char* name) { return (dir / name).string(); }
  void write(const char* name, const std::string& text) { std::ofstream(path(name)) << text; }
};

TEST_F(FileTest, LoadFileRunsFormsAndStopsAtTheFirstError) {
  write("ok.lsp", "(setq a 1)\n(defun f () 'done)\n(f)\n");
  Outcome ok = runtime.loadFile(path("ok.lsp"));
  EXPECT_TRUE(ok.ok);
  EXPECT_EQ(ok.value.toPrin1String(), "DONE");

  write("bad.lsp", "(setq b 1)\n(princ \"x\")\n(car 'q)\n(setq b 2)\n");
  Outcome bad = runtime.loadFile(path("bad.lsp"));
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.error, "bad argument type: consp Q");
  EXPECT_EQ(runtime.symbolValue("B").toPrin1String(), "1");
  EXPECT_EQ(services.output, "x\n; error: bad argument type: consp Q\n");

  write("open.lsp", "(setq c 1)\n(defun g (\n");
  Outcome open = runtime.loadFile(path("open.lsp"), ErrorReport::Silent);
  EXPECT_EQ(open.error, "malformed list on input");
  EXPECT_EQ(runtime.symbolValue("C").toPrin1String(), "1");

  Outcome missing = runtime.loadFile(path("missing.lsp"), ErrorReport::Silent);
  EXPECT_EQ(missing.error, "LOAD failed: \"" + path("missing.lsp") + "\"");
}

TEST_F(FileTest, LoadFunctionFindsLspAndReturnsLastValue) {
  write("lib.lsp", "(defun lib-fn () 42)\n'loaded\n");
  std::string base = path("lib");
  EXPECT_EQ(run("(load \"" + base + "\")"), "LOADED");
  EXPECT_EQ(run("(lib-fn)"), "42");
  EXPECT_EQ(run("(load \"" + path("none") + "\" 'fallback)"), "FALLBACK");
  EXPECT_EQ(run("(load \"" + path("none") + "\")"), "!LOAD failed: \"" + path("none") + "\"");
}

TEST_F(FileTest, FileReadAndWrite) {
  std::string file = path("data.txt");
  std::string script =
      "(setq f (open \"" + file +
      "\" \"w\"))"
      "(write-line \"first\" f) (princ 12 f) (write-char 65 f) (prin1 \"q\" f) (close f)"
      "(setq f (open \"" +
      file +
      "\" \"R\"))"
      "(setq r (list (read-line f) (read-char f) (read-line f) (read-line f)))"
      "(close f) r";
  EXPECT_EQ(run(script), "(\"first\" 49 \"2A\\\"q\\\"\" nil)");
  EXPECT_EQ(run("(open \"" + path("absent.txt") + "\" \"r\")"), "nil");
  EXPECT_EQ(run("(open \"" + file + "\" \"x\")"), "!bad argument value: mode \"x\"");
  EXPECT_EQ(run("(read-line 5)"), "!bad argument type: streamp 5");
  EXPECT_EQ(run("(type (setq g (open \"" + file + "\" \"r\")))"), "FILE");
  EXPECT_EQ(run("(close g) (vl-prin1-to-string g)"), "\"#<file \\\"" + file + "\\\">\"");
  EXPECT_EQ(run("(findfile \"" + file + "\")"), "\"" + file + "\"");
  EXPECT_EQ(run("(findfile \"" + path("absent.txt") + "\")"), "nil");
}

TEST_F(FileTest, FileAndFileNameHelpers) {
  write("a.txt", "hello");
  std::string d = dir.string();
  static const struct {
    std::string source, expected;
  } cases[] = {
      {"(vl-file-copy \"" + path("a.txt") + "\" \"" + path("b.txt") + "\")", "5"},
      {"(vl-file-copy \"" + path("a.txt") + "\" \"" + path("b.txt") + "\")", "nil"},
      {"(vl-file-copy \"" + path("a.txt") + "\" \"" + path("b.txt") + "\" T)", "5"},
      {"(vl-file-size \"" + path("b.txt") + "\")", "10"},
      {"(vl-mkdir \"" + path("sub") + "\")", "T"},
      {"(vl-file-directory-p \"" + path("sub") + "\")", "T"},
      {"(vl-directory-files \"" + d + "\" \"*.TXT\" 1)", "(\"a.txt\" \"b.txt\")"},
      {"(vl-directory-files \"" + d + "\" nil -1)", "(\".\" \"..\" \"sub\")"},
      {"(vl-file-rename \"" + path("b.txt") + "\" \"" + path("a.txt") + "\")", "nil"},
      {"(vl-file-delete \"" + path("b.txt") + "\")", "T"},
      {"(vl-file-delete \"" + path("b.txt") + "\")", "nil"},
      {"(vl-filename-base \"c:\\\\acad\\\\file.dwg\")", "\"file\""},
      {"(vl-filename-extension \"c:\\\\acad\\\\file.dwg\")", "\".dwg\""},
      {"(vl-filename-directory \"c:\\\\acad\\\\file.dwg\")", "\"c:\\\\acad\""},
      {"(vl-filename-extension \"noext\")", "nil"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(run(c.source), c.expected);
  }
}

TEST_F(FileTest, TemporaryFileNamesAreFreshAndWhereAsked) {
  std::string d = dir.string();
  std::string first = run("(vl-filename-mktemp \"tb\" \"" + d + "\" \".tmp\")");
  ASSERT_EQ(first.rfind("\"" + d + "/tb", 0), 0u) << first;
  EXPECT_EQ(first.substr(first.size() - 5), ".tmp\"");
  // Names already taken are never handed out.
  for (int i = 0; i < 20; ++i) {
    std::string name = run("(vl-filename-mktemp \"tb\" \"" + d + "\" \".tmp\")");
    EXPECT_EQ(run("(findfile " + name + ")"), "nil") << name;
    run("(close (open " + name + " \"w\"))");
  }
}

void onInterruptSignal(int) { requestInterrupt(); }

TEST(Interrupt, SigintHandlerStopsAnEndlessLoop) {
  struct sigaction action {
  }, previous{};
  action.sa_handler = onInterruptSignal;
  sigemptyset(&action.sa_mask);
  ASSERT_EQ(sigaction(SIGINT, &action, &previous), 0);
  Runtime runtime;
  runtime.defineBuiltin("press-escape", [](Runtime&, Args) {
    std::raise(SIGINT);
    return Value::t();
  });
  Outcome outcome = runtime.evaluateString("(setq n 0) (while (press-escape) (setq n (1+ n)))",
                                           ErrorReport::Silent);
  sigaction(SIGINT, &previous, nullptr);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.error, "Function cancelled");
  // The request is consumed: the next evaluation runs normally.
  EXPECT_TRUE(runtime.evaluateString("(+ 1 1)", ErrorReport::Silent).ok);
  // A request made while nothing ran cancels the next step, unless cleared first.
  requestInterrupt();
  EXPECT_EQ(runtime.evaluateString("(+ 1 1)", ErrorReport::Silent).error, "Function cancelled");
  requestInterrupt();
  clearInterrupt();
  EXPECT_TRUE(runtime.evaluateString("(+ 1 1)", ErrorReport::Silent).ok);
}

}  // namespace
}  // namespace tabrik::lisp::testing
