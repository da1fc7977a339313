// A DDE-style client conversation with a service and topic of another program,
// carried over one local socket per service and topic in the user's runtime
// folder ("<runtime>/dde/<service>.<topic>", names in lower case).
//
// Wire format (version 1): every message is a frame of
//   4 bytes  length of the rest of the frame, big-endian
//   1 byte   kind: 'E' execute (client to server), 'R' reply (server to client)
//   4 bytes  transaction number, big-endian: 1 for the first execute of a
//            connection, one more for each further execute
//   data     'E': the command text, UTF-8, no terminator
//            'R': one byte, 1 when the command was carried out, 0 when refused
// The server answers every execute once, in the order received. A connection
// that cannot be made counts as "no server"; the client closes the connection
// to end the conversation.
#pragma once

#include "platform/controls.h"

#include <memory>
#include <string>

enum TDataMode { ddeAutomatic, ddeManual };

class TDdeClientConv : public TComponent {
public:
    explicit TDdeClientConv(TComponent* owner);
    // Closes an open link without running OnClose.
    ~TDdeClientConv() override;

    void SetConnectMode(TDataMode mode) { mode_ = mode; }
    // Names the server; an open link is closed first, and in automatic mode
    // the new one is opened at once. False when that open failed.
    bool SetLink(const std::string& service, const std::string& topic);
    // The command line started when no server answers an open: the program
    // (quoted when it holds blanks), then its parameters.
    std::string ServiceApplication;

    // Connects; when no server answers and ServiceApplication is set, starts
    // it and connects once more at once. OnOpen runs when the link opened.
    bool OpenLink();
    // Closes the link; OnClose runs when one was open.
    void CloseLink();
    bool LinkOpen() const;

    // Starts an execute transaction; its reply arrives through the message
    // loop. Refused (false) while the link is closed, while a reply to an
    // earlier waited command is outstanding, or, for a command that does not
    // wait, while the server has not yet answered an earlier one. A waited
    // command sets WaitStat until its reply arrives, the link is lost, or
    // ReplyTimeout passes; a reply given up on still holds back new commands
    // until it comes.
    bool ExecuteMacro(const std::string& command, bool waitFlg);
    // Sets WaitStat, as a waited command does, until every command sent has
    // its reply. False, with nothing set, when there is nothing to wait for:
    // the link is closed, every command is answered, or a reply given up on
    // is still outstanding.
    bool WaitForReplies();
    bool WaitStat() const;
    // Whether the last wait ended with its reply: false while it goes on,
    // and once it was given up or the link was lost first.
    bool WaitAnswered() const { return waitAnswered_; }
    void SetReplyTimeout(int milliseconds) { replyTimeout_ = milliseconds; }

    TNotifyEvent OnOpen;
    TNotifyEvent OnClose;

private:
    struct Link;
    std::unique_ptr<Link> link_;
    void Lost();
    // Waits for the reply to the last command sent.
    void Await(Link* l);
    TDataMode mode_ = ddeAutomatic;
    std::string service_;
    std::string topic_;
    int replyTimeout_ = 10000;
    bool waitAnswered_ = true;
};

// The socket a server of service and topic listens on.
std::string DdeSocketPath(const std::string& service, const std::string& topic);
// The folder of those sockets; tests point it at a folder of their own
// ("" returns to "<runtime folder>/dde").
void SetDdeFolder(const std::string& folder);
