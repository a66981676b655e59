#include "ComScriptRunner.h"

#include <ocidl.h>
#include <oleauto.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <utility>

#include "DispatchCaller.h"
#include "EventPrinter.h"
#include "ScriptValue.h"
#include "axhost/AxHost.h"
#include "base/Utf8.h"
#include "platform/windows/WindowsFonts.h"

namespace vortrel::com {

using script::ScriptError;
using script::Statement;

namespace {

constexpr wchar_t kProgId[] = L"Vortrel.TimelineControl";

std::string Hex(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

void Require(HRESULT result, const std::string& what) {
    if (FAILED(result)) {
        throw ScriptError(0, what + " failed: " + Hex(result), ScriptError::Kind::Failure);
    }
}

// Releases a COM reference when it goes.
template <typename T>
struct Held {
    T* p = nullptr;
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (p != nullptr) {
            p->Release();
        }
    }
    void** Out() { return reinterpret_cast<void**>(&p); }
};

// Runs the thread's messages (the control's timers among them) for a span, or until done()
// holds; true when it did.
bool Pump(std::chrono::milliseconds span, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + span;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done && done()) {
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<int64_t>(left.count(), 10)),
                                  QS_ALLINPUT);
    }
}

// Fonts are the system's own font handles, as a host on Windows passes them.
int32_t MakeFont(const LogFont& font) {
    const LOGFONTW record = ToLogFontW(font);
    // GDI handles fit in 32 bits, also in a 64-bit process.
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(CreateFontIndirectW(&record)));
}

bool ReadFont(int32_t handle, LogFont& font) {
    LOGFONTW record = {};
    const auto gdi = reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(handle));
    if (handle == 0 || GetObjectType(gdi) != OBJ_FONT ||
        GetObjectW(gdi, sizeof record, &record) != sizeof record) {
        return false;
    }
    font = FromLogFontW(record);
    return true;
}

}  // namespace

// What a running statement works with: the control's dispatch interface, the event sink,
// the captured values, the output and, for a script with window directives, the container
// that hosts the control's window.
class ComScriptSession {
  public:
    ComScriptSession(DispatchCaller& caller, EventPrinter& events, std::ostream& out,
                     axhost::AxHost* window)
        : caller_(caller), events_(events), out_(out), window_(window) {}

    DispatchCaller& Caller() { return caller_; }
    EventPrinter& Events() { return events_; }
    std::ostream& Out() { return out_; }
    script::CaptureTable& Captures() { return captures_; }
    /// The container; the checks make sure a script with window directives has one.
    axhost::AxHost& Window() { return *window_; }
    /// Whether the left button is down, as the mouse messages tell the control.
    bool& ButtonDown() { return buttonDown_; }

  private:
    DispatchCaller& caller_;
    EventPrinter& events_;
    std::ostream& out_;
    axhost::AxHost* window_;
    script::CaptureTable captures_;
    bool buttonDown_ = false;
};

namespace {

// The client area's size until a script gives another, as on Linux.
constexpr int kInitialWidth = 800;
constexpr int kInitialHeight = 400;

// The window directives a script may use; a script with any of them gets a hosted window.
constexpr const char* kWindowDirectives[] = {"!size", "!mouse", "!pixel", "!snapshot"};

bool UsesWindow(const std::vector<Statement>& statements) {
    for (const Statement& statement : statements) {
        if (statement.kind != Statement::Kind::Directive) {
            continue;
        }
        for (const char* name : kWindowDirectives) {
            if (statement.name == name) {
                return true;
            }
        }
    }
    return false;
}

std::string FormatColor(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

// The mouse messages a script sends.
UINT MouseMessage(const Statement& statement) {
    const std::string action = script::TextArgument(statement, 0, "down, move or up");
    if (action == "down") {
        return WM_LBUTTONDOWN;
    }
    if (action == "move") {
        return WM_MOUSEMOVE;
    }
    if (action == "up") {
        return WM_LBUTTONUP;
    }
    throw ScriptError(statement.line, "expected down, move or up, got '" + action + "'");
}

}  // namespace

ComScriptRunner::ComScriptRunner(std::ostream& out) : out_(out) {
    script::SetFontReader(&ReadFont);

    // !testsrc PATH SECONDS KIND [WxH]: the host has made the file beforehand.
    Directive testsrc;
    testsrc.minArgs = 3;
    testsrc.maxArgs = 4;
    testsrc.usage = "!testsrc PATH SECONDS KIND [WxH]";
    testsrc.check = [](const Statement& statement, script::ScriptScope&) {
        script::TextArgument(statement, 0, "a file name");
        script::NumberArgument<double>(statement, 1, "a length in seconds");
        script::TextArgument(statement, 2, "a kind");
    };
    testsrc.run = [](const Statement& statement, ComScriptSession& session) {
        const std::string path = script::TextArgument(statement, 0, "a file name");
        std::error_code error;
        if (!std::filesystem::is_regular_file(ToPath(FromUtf8(path)), error)) {
            throw ScriptError(statement.line,
                              path +
                                  " is missing: the host makes the media of !testsrc "
                                  "beforehand (vortrel testsrc)",
                              ScriptError::Kind::Failure);
        }
        session.Out() << "!testsrc ->\n";
    };
    directives_["!testsrc"] = std::move(testsrc);

    Directive font;
    font.minArgs = 4;
    font.maxArgs = 4;
    font.usage = "!font $name \"FACE\" HEIGHT WEIGHT";
    font.check = [](const Statement& statement, script::ScriptScope& scope) {
        scope.Declare(script::FontArguments(statement).first, ValueType::Font);
    };
    font.run = [](const Statement& statement, ComScriptSession& session) {
        const auto [name, record] = script::FontArguments(statement);
        session.Captures().Set(name, ValueType::Font, MakeFont(record));
        session.Out() << "!font ->\n";
    };
    directives_["!font"] = std::move(font);

    Directive wait;
    wait.minArgs = 1;
    wait.maxArgs = 1;
    wait.usage = "!wait MS";
    wait.check = [](const Statement& statement, script::ScriptScope&) {
        script::SpanArgument(statement, 0);
    };
    wait.run = [](const Statement& statement, ComScriptSession& session) {
        Pump(script::SpanArgument(statement, 0), {});
        session.Out() << "!wait ->\n";
    };
    directives_["!wait"] = std::move(wait);

    Directive await;
    await.minArgs = 2;
    await.maxArgs = 2;
    await.usage = "!await EVENT TIMEOUT_MS";
    await.check = [](const Statement& statement, script::ScriptScope&) {
        script::EventArgument(statement, 0);
        script::SpanArgument(statement, 1);
    };
    await.run = [](const Statement& statement, ComScriptSession& session) {
        const std::string event = script::EventArgument(statement, 0);
        EventPrinter& events = session.Events();
        const int64_t before = events.Count(event);
        const bool fired =
            Pump(script::SpanArgument(statement, 1), [&] { return events.Count(event) > before; });
        session.Out() << "!await " << event << " -> " << (fired ? "ok" : "timeout") << "\n";
    };
    directives_["!await"] = std::move(await);

    // !size W H: the container's window takes a new size and passes it on to the control's.
    Directive size;
    size.minArgs = 2;
    size.maxArgs = 2;
    size.usage = "!size W H";
    size.check = [](const Statement& statement, script::ScriptScope&) {
        script::WindowArgument(statement, 0, "a width");
        script::WindowArgument(statement, 1, "a height");
    };
    size.run = [](const Statement& statement, ComScriptSession& session) {
        session.Window().Resize(script::WindowArgument(statement, 0, "a width"),
                                script::WindowArgument(statement, 1, "a height"));
        session.Out() << "!size ->\n";
    };
    directives_["!size"] = std::move(size);

    // !mouse down|move|up X Y: the left button's message at a client point of the control's
    // window, handled before the next statement.
    Directive mouse;
    mouse.minArgs = 3;
    mouse.maxArgs = 3;
    mouse.usage = "!mouse down|move|up X Y";
    mouse.check = [](const Statement& statement, script::ScriptScope&) {
        MouseMessage(statement);
        script::WindowArgument(statement, 1, "an x");
        script::WindowArgument(statement, 2, "a y");
    };
    mouse.run = [](const Statement& statement, ComScriptSession& session) {
        const UINT message = MouseMessage(statement);
        if (message != WM_MOUSEMOVE) {
            session.ButtonDown() = message == WM_LBUTTONDOWN;
        }
        session.Window().Mouse(message, script::WindowArgument(statement, 1, "an x"),
                               script::WindowArgument(statement, 2, "a y"), session.ButtonDown());
        session.Out() << "!mouse ->\n";
    };
    directives_["!mouse"] = std::move(mouse);

    // !pixel X Y: the colour the control's window shows at a client point, as #RRGGBB; none
    // outside the client area.
    Directive pixel;
    pixel.minArgs = 2;
    pixel.maxArgs = 2;
    pixel.usage = "!pixel X Y";
    pixel.check = [](const Statement& statement, script::ScriptScope&) {
        script::NumberArgument<int32_t>(statement, 0, "an x");
        script::NumberArgument<int32_t>(statement, 1, "a y");
    };
    pixel.run = [](const Statement& statement, ComScriptSession& session) {
        const auto x = script::NumberArgument<int32_t>(statement, 0, "an x");
        const auto y = script::NumberArgument<int32_t>(statement, 1, "a y");
        int width = 0;
        int height = 0;
        const std::vector<uint32_t> pixels = session.Window().Capture(width, height);
        const bool inside = x >= 0 && y >= 0 && x < width && y < height;
        session.Out() << "!pixel -> "
                      << (inside ? FormatColor(pixels[static_cast<size_t>(y) * width + x]) : "none")
                      << "\n";
    };
    directives_["!pixel"] = std::move(pixel);

    // !snapshot PATH: what the control's window shows, written as a 24-bit BMP file (the
    // Linux tool writes PNG).
    Directive snapshot;
    snapshot.minArgs = 1;
    snapshot.maxArgs = 1;
    snapshot.usage = "!snapshot PATH";
    snapshot.check = [](const Statement& statement, script::ScriptScope&) {
        script::TextArgument(statement, 0, "a file name");
    };
    snapshot.run = [](const Statement& statement, ComScriptSession& session) {
        const std::string path = script::TextArgument(statement, 0, "a file name");
        int width = 0;
        int height = 0;
        const std::vector<uint32_t> pixels = session.Window().Capture(width, height);
        if (width < 1 || height < 1 ||
            !axhost::AxHost::SaveBmp(FromUtf8(path), pixels, width, height)) {
            throw ScriptError(statement.line, "cannot write " + path, ScriptError::Kind::Failure);
        }
        session.Out() << "!snapshot ->\n";
    };
    directives_["!snapshot"] = std::move(snapshot);
}

void ComScriptRunner::Check(const std::vector<Statement>& statements) const {
    std::map<std::string, const script::DirectiveRule*> rules;
    for (const auto& [name, directive] : directives_) {
        rules[name] = &directive;
    }
    script::ScriptChecker(std::move(rules)).Check(statements);
}

void ComScriptRunner::Run(const std::vector<Statement>& statements,
                          const std::wstring& serverPath) {
    Check(statements);

    // The server registers itself for this user, as a per-user installation does. Where the
    // classes root does not show the user's own classes (Wine's does not), the control could
    // not be found by its program id: the server then registers for the machine as well.
    HMODULE server = LoadLibraryW(serverPath.c_str());
    if (server == nullptr) {
        throw ScriptError(0, "cannot load " + ToUtf8(serverPath), ScriptError::Kind::Failure);
    }
    using Install = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
    using Register = HRESULT(STDAPICALLTYPE*)();
    const auto install =
        reinterpret_cast<Install>(reinterpret_cast<void*>(GetProcAddress(server, "DllInstall")));
    const auto machine = reinterpret_cast<Register>(
        reinterpret_cast<void*>(GetProcAddress(server, "DllRegisterServer")));
    HRESULT registered = install != nullptr ? install(TRUE, L"user") : E_NOINTERFACE;
    CLSID classId{};
    if (SUCCEEDED(registered) && FAILED(CLSIDFromProgID(kProgId, &classId)) && machine != nullptr) {
        registered = machine();
    }
    FreeLibrary(server);
    Require(registered, "registering " + ToUtf8(serverPath));
    Require(CLSIDFromProgID(kProgId, &classId), "CLSIDFromProgID");
    // A script with window directives meets the control as a container hosts it, in place in
    // an AtlAxWin window; any other makes it by its class alone, as a script host does.
    std::unique_ptr<axhost::AxHost> window;
    Held<IDispatch> control;
    if (UsesWindow(statements)) {
        window = std::make_unique<axhost::AxHost>();
        std::string why;
        if (!window->Open(kInitialWidth, kInitialHeight, why, L"")) {
            throw ScriptError(0, "hosting the control's window failed: " + why,
                              ScriptError::Kind::Failure);
        }
        Require(window->Unknown()->QueryInterface(IID_IDispatch, control.Out()),
                "IDispatch of the hosted control");
    } else {
        Require(
            CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.Out()),
            "CoCreateInstance");
    }

    // The event interface, found as a host finds it: through the class information.
    Held<IProvideClassInfo2> classInfo;
    Require(control.p->QueryInterface(IID_IProvideClassInfo2, classInfo.Out()),
            "IProvideClassInfo2");
    IID eventsId{};
    Require(classInfo.p->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &eventsId), "GetGUID");
    Held<ITypeInfo> dispatchInfo;
    Require(control.p->GetTypeInfo(0, LOCALE_USER_DEFAULT, &dispatchInfo.p), "GetTypeInfo");
    Held<ITypeLib> library;
    UINT position = 0;
    Require(dispatchInfo.p->GetContainingTypeLib(&library.p, &position), "GetContainingTypeLib");
    Held<ITypeInfo> eventsInfo;
    Require(library.p->GetTypeInfoOfGuid(eventsId, &eventsInfo.p), "the event interface");

    EventPrinter printer(eventsInfo.p, out_);
    Held<IConnectionPointContainer> container;
    Require(control.p->QueryInterface(IID_IConnectionPointContainer, container.Out()),
            "IConnectionPointContainer");
    Held<IConnectionPoint> point;
    Require(container.p->FindConnectionPoint(eventsId, &point.p), "FindConnectionPoint");
    DWORD cookie = 0;
    Require(point.p->Advise(&printer, &cookie), "Advise");
    struct Disconnect {
        IConnectionPoint* point;
        DWORD cookie;
        ~Disconnect() { point->Unadvise(cookie); }
    } disconnect{point.p, cookie};

    DispatchCaller caller(control.p);
    ComScriptSession session(caller, printer, out_, window.get());
    for (const Statement& statement : statements) {
        if (statement.kind == Statement::Kind::Directive) {
            directives_.at(statement.name).run(statement, session);
            continue;
        }
        const ControlMember& member = *script::FindMember(statement);
        std::vector<ControlValue> ins;
        for (size_t i = 0; i < member.ins.size(); ++i) {
            ins.push_back(
                session.Captures().Resolve(statement.args[i], member.ins[i], statement.line));
        }
        std::vector<ControlValue> outs;
        try {
            caller.Call(member, ins, outs);
        } catch (const std::runtime_error& error) {
            throw ScriptError(statement.line, error.what(), ScriptError::Kind::Failure);
        }
        out_ << script::ResultLine(statement, member, outs) << "\n";
        if (statement.capture && !outs.empty()) {
            session.Captures().Set(*statement.capture, member.outs.front(), outs.front());
        }
    }
    out_.flush();
}

}  // namespace vortrel::com
