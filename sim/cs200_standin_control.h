#pragma once
// The control entries of the stand-in CS-200 library (libkmsecs200.so of the virtual lab),
// beside the maker's five exports. The stand-in runs inside the program's process; the lab
// reaches it by looking these names up in the same loaded library (see sim/standin_probes.*):
//   vqsSimCs200SetRadianceSource  where the light comes from: a function that fills 401
//                                 spectral radiances, W/(sr·m²·nm) at 380..780 nm (null: dark)
//   vqsSimCs200SetInstruments     how many instruments are plugged in (0 after loading)
//   vqsSimCs200SetFault           one of VqsSimCs200Fault
//   vqsSimCs200SetTimeScale       the instruments' clock runs this many times faster (tests)
//   vqsSimCs200Reset              the state after loading: nothing plugged in, no fault
//   vqsSimCs200CommandLog         the commands received since the last reset, as sent, into a
//                                 buffer (zero-terminated, cut at its capacity); the full length

extern "C" {

enum VqsSimCs200Fault {
    kVqsSimCs200NoFault = 0,
    kVqsSimCs200NoInstrument = 1,       // the library counts no instrument
    kVqsSimCs200CannotOpen = 2,         // opening a connection fails
    kVqsSimCs200BadIdentification = 3,  // the identification reply is an error
    kVqsSimCs200NeverFinishes = 4,      // a measurement never finishes
    kVqsSimCs200ShortReply = 5,         // a finished measurement's reply lacks its values
    // Replies end in CR LF and come as through a USB pipe, 24 bytes per read, each piece
    // zero-terminated; what is not read stays in the pipe ahead of the next reply.
    kVqsSimCs200Pieces = 6,
    // As kVqsSimCs200Pieces, and the first measurement reply's last bytes come late: only
    // after the next command, ahead of its reply.
    kVqsSimCs200PiecesOneLate = 7,
};

typedef void (*VqsSimCs200RadianceSource)(void* context, float* radiance401);

typedef void (*VqsSimCs200SetRadianceSourceFn)(VqsSimCs200RadianceSource source, void* context);
typedef void (*VqsSimCs200SetIntFn)(int value);
typedef void (*VqsSimCs200SetTimeScaleFn)(double scale);
typedef void (*VqsSimCs200ResetFn)(void);
typedef int (*VqsSimCs200CommandLogFn)(char* buffer, int capacity);

}  // extern "C"
