#include "platform/ddeman.h"

#include "platform/qtbridge.h"
#include "platform/shellapi.h"
#include "platform/sysutils.h"

#include <QByteArray>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <cstdint>

namespace {
std::string& FolderOverride() {
    static std::string folder;
    return folder;
}

// Names are compared without letter case, so the socket's name is in lower
// case; every byte but letters, digits, "_" and "-" is written as %XX.
std::string SocketName(const std::string& name) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : LowerCase(name)) {
        unsigned char c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

constexpr char KindExecute = 'E';
constexpr char KindReply = 'R';
constexpr uint32_t FrameHead = 5;  // kind and transaction number, counted in the length
constexpr int ConnectWait = 1000;  // a local connect either succeeds at once or not at all

void PutNumber(QByteArray& out, uint32_t v) {
    const char bytes[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    out.append(bytes, 4);
}

uint32_t GetNumber(const char* p) {
    auto b = [p](int i) { return static_cast<uint32_t>(static_cast<unsigned char>(p[i])); };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

// The program of a command line is its first word, or the quoted text that
// begins it; the rest are its parameters.
void SplitCommandLine(const std::string& line, std::string& program, std::string& parameters) {
    std::string s = TrimLeft(line);
    size_t end;
    if (!s.empty() && s[0] == '"') {
        end = s.find('"', 1);
        program = s.substr(1, end == std::string::npos ? std::string::npos : end - 1);
        if (end != std::string::npos) ++end;
    } else {
        end = s.find(' ');
        program = s.substr(0, end);
    }
    parameters = end == std::string::npos ? std::string() : Trim(s.substr(end));
}
}  // namespace

std::string DdeSocketPath(const std::string& service, const std::string& topic) {
    std::string folder = FolderOverride();
    if (folder.empty()) folder = StdText(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)) + "/dde";
    return folder + "/" + SocketName(service) + "." + SocketName(topic);
}

void SetDdeFolder(const std::string& folder) { FolderOverride() = folder; }

struct TDdeClientConv::Link {
    QLocalSocket socket;
    QTimer replyTimer;
    QByteArray input;
    uint32_t sent = 0;
    uint32_t answered = 0;
    uint32_t waitingFor = 0;  // the waited command, while WaitStat holds
    uint32_t givenUp = 0;     // a waited command whose reply is no longer waited for

    // Ends the link. It is deleted from the message loop, as this may run
    // inside one of its socket's own signals.
    static void Dispose(std::unique_ptr<Link> link) {
        Link* l = link.release();
        QObject::disconnect(&l->socket, nullptr, nullptr, nullptr);
        QObject::disconnect(&l->replyTimer, nullptr, nullptr, nullptr);
        l->replyTimer.stop();
        // What the server was sent reaches it before the end of the conversation.
        if (l->socket.state() == QLocalSocket::ConnectedState && l->socket.bytesToWrite() > 0)
            l->socket.waitForBytesWritten(ConnectWait);
        l->socket.abort();
        QTimer::singleShot(0, [l] { delete l; });
    }
};

TDdeClientConv::TDdeClientConv(TComponent* owner) : TComponent(owner) {}

TDdeClientConv::~TDdeClientConv() {
    if (link_) Link::Dispose(std::move(link_));
}

bool TDdeClientConv::SetLink(const std::string& service, const std::string& topic) {
    CloseLink();
    service_ = service;
    topic_ = topic;
    return mode_ == ddeAutomatic ? OpenLink() : true;
}

bool TDdeClientConv::LinkOpen() const { return link_ != nullptr; }

bool TDdeClientConv::WaitStat() const { return link_ && link_->waitingFor != 0; }

bool TDdeClientConv::OpenLink() {
    if (link_) return true;
    auto tryConnect = [this] {
        auto l = std::make_unique<Link>();
        l->socket.connectToServer(QtText(DdeSocketPath(service_, topic_)));
        if (!l->socket.waitForConnected(ConnectWait)) return false;
        Link* raw = l.get();
        QObject::connect(&raw->socket, &QLocalSocket::readyRead, &raw->socket, [this, raw] {
            raw->input += raw->socket.readAll();
            while (raw->input.size() >= 4) {
                const uint32_t length = GetNumber(raw->input.constData());
                if (length != FrameHead + 1) return Lost();
                if (raw->input.size() < static_cast<qsizetype>(4 + length)) return;
                const char kind = raw->input[4];
                const uint32_t number = GetNumber(raw->input.constData() + 5);
                raw->input.remove(0, 4 + length);
                if (kind != KindReply || number != raw->answered + 1 || number > raw->sent) return Lost();
                raw->answered = number;
                if (raw->waitingFor && raw->answered >= raw->waitingFor) {
                    raw->waitingFor = 0;
                    raw->replyTimer.stop();
                    waitAnswered_ = true;
                }
            }
        });
        QObject::connect(&raw->socket, &QLocalSocket::disconnected, &raw->socket, [this] { Lost(); });
        QObject::connect(&raw->socket, &QLocalSocket::errorOccurred, &raw->socket,
                         [this](QLocalSocket::LocalSocketError) { Lost(); });
        raw->replyTimer.setSingleShot(true);
        QObject::connect(&raw->replyTimer, &QTimer::timeout, &raw->replyTimer, [raw] {
            raw->givenUp = raw->waitingFor;
            raw->waitingFor = 0;
        });
        link_ = std::move(l);
        return true;
    };
    if (!tryConnect()) {
        std::string program, parameters;
        SplitCommandLine(ServiceApplication, program, parameters);
        if (program.empty()) return false;
        if (ShellExecuteA(nullptr, "open", program.c_str(), parameters.c_str(), nullptr, SW_SHOWMINNOACTIVE) <= 32)
            return false;
        if (!tryConnect()) return false;
    }
    if (OnOpen) SafeCall([this] { OnOpen(this); });
    return link_ != nullptr;
}

void TDdeClientConv::CloseLink() {
    if (!link_) return;
    Link::Dispose(std::move(link_));
    if (OnClose) SafeCall([this] { OnClose(this); });
}

void TDdeClientConv::Lost() { CloseLink(); }

bool TDdeClientConv::ExecuteMacro(const std::string& command, bool waitFlg) {
    if (!link_) return false;
    Link* l = link_.get();
    if (l->waitingFor || l->givenUp > l->answered) return false;
    // A command that nobody waits for may run only one ahead of the server.
    if (!waitFlg && l->answered < l->sent) return false;
    QByteArray frame;
    PutNumber(frame, FrameHead + static_cast<uint32_t>(command.size()));
    frame.append(KindExecute);
    PutNumber(frame, l->sent + 1);
    frame.append(command.data(), static_cast<qsizetype>(command.size()));
    if (l->socket.write(frame) != frame.size()) {
        Lost();
        return false;
    }
    l->socket.flush();
    if (link_.get() != l) return false;  // the link broke while writing
    ++l->sent;
    if (waitFlg) Await(l);
    return true;
}

bool TDdeClientConv::WaitForReplies() {
    if (!link_) return false;
    Link* l = link_.get();
    if (l->waitingFor || l->givenUp > l->answered || l->answered >= l->sent) return false;
    Await(l);
    return true;
}

void TDdeClientConv::Await(Link* l) {
    l->waitingFor = l->sent;
    waitAnswered_ = false;
    l->replyTimer.start(replyTimeout_);
}
