#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpServer>
#include <string>

#include "platform/qt/program_end.h"
#include "platform/qt/qt_url_fetcher.h"
#include "support/qt_wait.h"

namespace wardel::qt {
namespace {

// Its own program: once the program has ended, it stays ended for every later test in the process.
TEST(UrlFetcherAfterTheEnd, NothingIsDeliveredOnceTheProgramHasEnded) {
    QtUrlFetcher fetcher;
    int completions = 0;
    const Subscription counting = fetcher.subscribeCompletion([&](const FetchResult&) { ++completions; });

    std::string closedBase;
    {
        QTcpServer gone;
        gone.listen(QHostAddress::LocalHost, 0);
        closedBase = "http://127.0.0.1:" + std::to_string(gone.serverPort());
    }
    fetcher.start("1sendsms", closedBase + "/refused");
    fetcher.start("2sendsms", "not a url");
    markProgramEnded();

    EXPECT_TRUE(test::waitUntil([&] { return fetcher.readsInFlight() == 0; }));
    test::waitUntil([] { return false; }, 200);
    EXPECT_EQ(completions, 0);
}

} // namespace
} // namespace wardel::qt
