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

// The speed-mode command of a brightness range (0 Auto .. 4 Dark), ten bytes; empty for any
// other range.
QByteArray cs200SpeedCommand(int userRange);

}  // namespace vqs
