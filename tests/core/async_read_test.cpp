#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alerts/async_read.h"
#include "support/fakes.h"

namespace wardel {
namespace {

using test::FakeUrlFetcher;

struct Event {
    std::string tag;
    bool ok;
    std::string data; // DataFromURL during the event
};

class AsyncReadTest : public testing::Test {
protected:
    AsyncReadTest() {
        reader.setAsyncReadComplete([this](const FetchResult& r) {
            events.push_back({r.name, r.ok, reader.DataFromURL()});
        });
    }
    void issue(const std::string& tag, const std::string& url) {
        reader.setPropName(tag);
        reader.setDataFromURL(url);
    }

    FakeUrlFetcher fetcher;
    AsyncRead reader{fetcher};
    std::vector<Event> events;
};

TEST_F(AsyncReadTest, FetchesInFlightEndWithTheirOwnTagsAndContent) {
    issue("3sendsms", "http://127.0.0.1:9/a");
    issue("4getcredit", "http://127.0.0.1:9/b");
    reader.setPropName("changed later"); // does not touch the fetches already started
    ASSERT_EQ(fetcher.requests.size(), 2u);
    EXPECT_EQ(fetcher.requests[0].name, "3sendsms");
    EXPECT_EQ(fetcher.requests[1].name, "4getcredit");
    EXPECT_EQ(reader.DataFromURL(), "http://127.0.0.1:9/b");

    fetcher.finish("4getcredit", true, " 24 ");
    fetcher.finish("3sendsms", true, "OK sent");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].tag, "4getcredit");
    EXPECT_EQ(events[0].data, " 24 ");
    EXPECT_EQ(events[1].tag, "3sendsms");
    EXPECT_EQ(events[1].data, "OK sent");
}

TEST_F(AsyncReadTest, FailedFetchLeavesTheStoreAsItWas) {
    issue("logon1", "http://127.0.0.1:9/logon");
    fetcher.finish("logon1", false, "partial bytes");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].ok);
    EXPECT_EQ(events[0].data, "http://127.0.0.1:9/logon");

    // With another fetch completed in between, a failure shows that fetch's content instead.
    issue("1sendsms", "http://127.0.0.1:9/sms");
    issue("2sendsms", "http://127.0.0.1:9/sms2");
    fetcher.finish("1sendsms", true, "OK");
    fetcher.finish("2sendsms", false, "");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2].data, "OK");
}

TEST_F(AsyncReadTest, EmptyReplyEmptiesTheStoreAndEmptyUrlStartsNothing) {
    issue("1getcredit", "http://127.0.0.1:9/c");
    fetcher.finish("1getcredit", true, "");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].data, "");

    issue("2getcredit", "");
    EXPECT_EQ(fetcher.requests.size(), 1u);
    EXPECT_EQ(reader.DataFromURL(), "");
}

} // namespace
} // namespace wardel
