#pragma once
// The CS-200's command texts and the reading of its replies: zero-terminated ASCII text whose
// fields are separated by commas, "OK00" at the front for success. Pure functions on bytes, so
// that any reply, of any length or content, is read without leaving the bytes it came in.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace vqs {

inline constexpr char kCs200RemoteOn[] = "RMT,1\r\n";
inline constexpr char kCs200Identify[] = "IDR\r\n";
inline constexpr char kCs200Measure[] = "MES,1\r\n";
inline constexpr char kCs200ReadXyz[] = "MDR,3\r\n";
inline constexpr int kCs200MeasurementFields = 12;

// The reply text: the bytes before the first zero byte (all of them when there is none).
QByteArrayView cs200ReplyText(QByteArrayView bytes);

// Up to maxTokens tokens of a reply, commas and white space separating them.
QList<QByteArray> cs200Tokens(QByteArrayView bytes, int maxTokens);

// The first token begins with "OK00".
bool isCs200Ok(QByteArrayView bytes);

// The serial number of an identification reply: its fourth token, when the reply says "OK00"
// and has one.
std::optional<QByteArray> cs200SerialNumber(QByteArrayView bytes);

struct Cs200Xyz {
    float X = 0.0f;
    float Y = 0.0f;  // cd/m²
    float Z = 0.0f;
};

// X, Y, Z of a measurement reply: fields 10, 11 and 12 of a reply that says "OK00". Nothing for
// a reply without "OK00" (the measurement is not finished), with fewer than twelve fields, or
// whose three fields are not finite numbers.
std::optional<Cs200Xyz> parseCs200Measurement(QByteArrayView bytes);

// One reply gathered from the pieces the library hands over, one read at a time. A read may
// leave part of a reply: the bytes it wrote end at a zero byte, or where the buffer still holds
// the filler the driver put there (kCs200Unwritten, never part of a reply's text). A reply ends
// at a line end (CR or LF) or, for an instrument that sends no line ends, at the zero byte that
// ends the library's text. An instrument that ends its replies with line ends is known by the
// first one it sends; from then on a zero byte ends a piece, not the reply. A line that does not
// begin with a status code ("OK00", "ER10") is the rest of an earlier, broken reply and is passed
// over, so one broken reply does not put every later one out of step.
inline constexpr char kCs200Unwritten = '\xFF';
inline constexpr qsizetype kCs200LongestReply = 1024;

class Cs200ReplyReader {
  public:
    explicit Cs200ReplyReader(bool endsLines = false) : endsLines_(endsLines) {}

    // Takes what one read left in the buffer (filled with kCs200Unwritten before the read);
    // the reply once it is whole.
    std::optional<QByteArray> add(QByteArrayView buffer);
    // The last read brought no byte: the instrument has not said (the rest) yet.
    bool lastReadEmpty() const { return lastReadEmpty_; }
    // Whether the instrument has been seen to end its replies with line ends.
    bool endsLines() const { return endsLines_; }

  private:
    std::optional<QByteArray> takeLine();

    QByteArray pending_;
    bool endsLines_;
    bool lastReadEmpty_ = true;
};

// The speed-mode command of a brightness range (0 Auto .. 4 Dark), ten bytes; empty for any
// other range.
QByteArray cs200SpeedCommand(int userRange);

}  // namespace vqs
