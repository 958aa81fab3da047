#pragma once
// The CS-200 maker's USB library "kmsecs200" as this program calls it: five exports with C
// linkage that carry the instrument's ASCII command protocol. The stand-in of the virtual lab
// implements the same table.

namespace vqs {

inline constexpr char kCs200LibraryName[] = "kmsecs200";
// What read64_usb is told the reply buffer holds; the driver's buffer is larger, so a reply
// always ends in a zero byte inside it.
inline constexpr int kCs200ReplyCapacity = 250;
inline constexpr int kCs200ReplyBuffer = 256;
inline constexpr int kCs200TransferMode = 1;  // the constant second-to-last argument

extern "C" {
// Number of attached instruments.
using Cs200DeviceCount = int (*)();
// Opens the connection to instrument `device` (0-based); 0 when it is open.
using Cs200Open = int (*)(int device);
// Closes that connection.
using Cs200Close = int (*)(int device);
// Sends `length` bytes of a command text.
using Cs200Write = int (*)(int device, const char* command, int mode, int length);
// Fills `reply` with the instrument's reply as zero-terminated text of at most `capacity` bytes.
using Cs200Read = int (*)(int device, char* reply, int mode, int capacity);
}

// The exports as resolved; any of them may be missing.
struct Cs200Functions {
    Cs200DeviceCount get_num = nullptr;
    Cs200Open int_usb = nullptr;
    Cs200Close end_usb = nullptr;
    Cs200Write write64_usb = nullptr;
    Cs200Read read64_usb = nullptr;

    bool complete() const { return get_num && int_usb && end_usb && write64_usb && read64_usb; }
};

}  // namespace vqs
