// Shared by the update tests: the sample pages, the shipped files, and
// waiting while the GUI thread serves a fetcher's hand-over.
#pragma once

#include "currency/currsource.h"
#include "support/testenv.h"

#include <QApplication>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

inline std::string SamplePage(const std::string& name) { return ReadAll(std::string(TV_TEST_DATA) + "/" + name); }
inline std::string ShippedFile(const std::string& name) {
    return ReadAll(std::string(TV_SOURCE_DIR) + "/data/" + name);
}

// Replaces the first match of what in text; the test fails when there is none.
inline std::string Edited(std::string text, const std::string& what, const std::string& with) {
    size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    if (at != std::string::npos) text.replace(at, what.size(), with);
    return text;
}

// Points a source's updates at a test server.
struct SourceAddress : CurrSource {
    static void Set(CurrSource* source, const std::string& host, const std::string& path = "/today.html") {
        source->*(&SourceAddress::Host) = host;
        source->*(&SourceAddress::UpdateUrl) = path;
    }
};

// Runs the GUI thread's events until done() holds; false after 20 seconds.
inline bool WaitUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
