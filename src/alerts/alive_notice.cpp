#include "alerts/alive_notice.h"

#include <limits>

#include "common/numbers.h"
#include "common/time_format.h"

namespace wardel {
namespace {

constexpr const char* kUpAndRunning = " Wardel program is UP and RUNNING !! ";

// The period of a minutes text as the minute task reloads it. A countdown holds no more than 32,767
// minutes (about 22 days), so a longer period counts as that.
std::int16_t period(const std::string& minutes) {
    const double value = leadingNumber(minutes);
    if (value >= std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    if (value <= std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    return roundToInt16(value).value_or(std::numeric_limits<std::int16_t>::max());
}

void countDown(std::int16_t& countdown, const std::string& minutes) {
    if (countdown > 0) {
        --countdown;
        return;
    }
    countdown = period(minutes);
    if (countdown > 0)
        --countdown;
}

} // namespace

AliveNotice::AliveNotice(const Clock& clock, AliveTimers timers, const AppSettings& settings, RuntimeValues& runtime,
                         GatewayClient& gateway, LogBox& txtLog, const Control& label2, SmsTodayCaption& smsToday)
    : clock_(clock), settings_(settings), runtime_(runtime), gateway_(gateway), txtLog_(txtLog), label2_(label2),
      smsToday_(smsToday) {
    timer4Ticks_ = timers.Timer4.subscribeTick([this] { Timer4_Timer(); });
    timer5Ticks_ = timers.Timer5.subscribeTick([this] { Timer5_Timer(); });
}

void AliveNotice::Timer5_Timer() {
    countDown(runtime_.aliveMailCountdown, settings_.aliveMailMinutes);
    countDown(runtime_.aliveSmsCountdown, settings_.aliveSmsMinutes);
    if (settings_.aliveEnabled == 1)
        sch_Notify(runtime_.aliveMailCountdown <= 0, runtime_.aliveSmsCountdown <= 0);
}

void AliveNotice::Timer4_Timer() {
    const LocalDateTime now = clock_.now();
    if (formatHourMinute(now) != "00:00")
        return;
    const int date = (now.year * 100 + now.month) * 100 + now.day;
    if (date == lastClearDate_)
        return;
    lastClearDate_ = date;
    runtime_.smsSentToday = 0;
    smsToday_.setSmsTodayCaption("SMS Sent Today : 0");
}

void AliveNotice::sch_Notify(bool bMail, bool bSMS) {
    const GatewayState& gateway = gateway_.state();
    if (!gateway.gatewayLoggedIn) {
        // Straight into the box, below everything: no time stamp of its own, and not worth a line in the file.
        txtLog_.append("Not login, message [" + formatDateTime(clock_.now()) + kUpAndRunning +
                       "] can not be delivered");
        return;
    }
    std::string line = formatDateTime(clock_.now()) + kUpAndRunning + "\r\n";
    const std::string subject = line;
    if (bMail && !trim(settings_.aliveMailTo).empty())
        gateway_.sendAliveMail(settings_.aliveMailTo, aliveMailBody(subject), subject);
    line += " SMS Credits left : " + gateway.creditText;
    if (bSMS && !trim(settings_.aliveSmsTo).empty())
        gateway_.sendAliveSms(settings_.aliveSmsTo, line);
}

// The mail carries the log box in its request URL, which a gateway refuses beyond a few kilobytes, and the
// box grows to thousands of lines. So the Status Log part holds only the newest lines whose encoded size
// still fit the room the gateway leaves for the text; the older lines at the end of the box are left out.
std::string AliveNotice::aliveMailBody(const std::string& subject) const {
    const GatewayState& gateway = gateway_.state();
    const std::string head = "<html><body> Good Day !! <br><br>Now is " + formatDateTime(clock_.now()) +
                             "<br><br> Wardel program is UP and RUNNING<br><br>Account : " + settings_.smsEmail +
                             " SMS credits " + gateway.creditText + " left<br><br> Status Log : <br>";
    const std::string tail = "<br>" + label2_.text() + "<br><br>Textora</body></html>";

    // Each line adds what it adds on its own: the pieces meet at "<br>" marks, never inside a CR LF pair.
    const std::size_t frame = GatewayClient::gatewayMailTextLength(head) + GatewayClient::gatewayMailTextLength(tail);
    const std::size_t textRoom = gateway_.aliveMailTextRoom(settings_.aliveMailTo, subject);
    std::size_t room = frame < textRoom ? textRoom - frame : 0;
    std::string body = head;
    for (std::size_t i = 0; i < txtLog_.lineCount(); ++i) {
        const std::string line = txtLog_.line(i) + "\r\n";
        const std::size_t size = GatewayClient::gatewayMailTextLength(line);
        if (size > room)
            break;
        room -= size;
        body += line;
    }
    return body + tail;
}

} // namespace wardel
