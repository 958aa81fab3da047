#pragma once
// The control entries of the stand-in QSP720 library (libqsp72XP.so of the virtual lab), beside
// the maker's eight exports. The stand-in runs inside the program's process, so the lab reaches
// it by looking these names up in the same loaded library (see VirtualLab::startQsp720):
//   vqsSimQsp720SetRadianceSource  where the detector's light comes from: a function that fills
//                                  401 spectral radiances, W/(sr·m²·nm) at 380..780 nm, at the
//                                  moment a scan finishes (null: darkness)
//   vqsSimQsp720SetCovered         nonzero: the probe is covered, its scans see darkness
//   vqsSimQsp720SetFault           one of VqsSimQsp720Fault
//   vqsSimQsp720SetTimeScale       the instrument's clock runs this many times faster (tests)
//   vqsSimQsp720Reset              the state after loading: one device, no fault, uncovered
//   vqsSimQsp720FinishedScans      scans delivered since the last reset

extern "C" {

enum VqsSimQsp720Fault {
    kVqsSimQsp720NoFault = 0,
    kVqsSimQsp720NoDevice = 1,       // the library counts no device
    kVqsSimQsp720Unprintable = 2,    // a control byte in the memory's identity text
    kVqsSimQsp720NeverFinishes = 3,  // scans are never finished
    kVqsSimQsp720Saturated = 4,      // far too much light: every pixel clips
    kVqsSimQsp720CrashesInInit = 5,  // SWDinit ends the process, as a broken library does
};

typedef void (*VqsSimQsp720RadianceSource)(void* context, float* radiance401);

typedef void (*VqsSimQsp720SetRadianceSourceFn)(VqsSimQsp720RadianceSource source, void* context);
typedef void (*VqsSimQsp720SetIntFn)(int value);
typedef void (*VqsSimQsp720SetTimeScaleFn)(double scale);
typedef void (*VqsSimQsp720ResetFn)(void);
typedef int (*VqsSimQsp720FinishedScansFn)(void);

}  // extern "C"
