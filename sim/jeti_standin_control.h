#pragma once
// The control entries of the stand-in JETI SDK (libjeti_core.so and libjeti_radio_ex.so of the
// virtual lab), in libjeti_core.so beside the SDK's exports. The stand-in runs inside the
// program's process; the lab reaches it by looking these names up in the same loaded library
// (see sim/standin_probes.*):
//   vqsSimJetiSetRadianceSource  where the light comes from: a function that fills 401 spectral
//                                radiances, W/(sr·m²·nm) at 380..780 nm (null: darkness)
//   vqsSimJetiSetInstruments     how many instruments are plugged in (0 after loading)
//   vqsSimJetiSetFault           one of VqsSimJetiFault
//   vqsSimJetiSetTimeScale       the instrument's clock runs this many times faster (tests)
//   vqsSimJetiReset              the state after loading: nothing plugged in, no fault
//   vqsSimJetiMeasurements       measurements started since the last reset

extern "C" {

enum VqsSimJetiFault {
    kVqsSimJetiNoFault = 0,
    kVqsSimJetiNoInstrument = 1,   // the SDK counts no instrument
    kVqsSimJetiCannotOpen = 2,     // opening the device fails
    kVqsSimJetiNeverFinishes = 3,  // a measurement stays busy
};

typedef void (*VqsSimJetiRadianceSource)(void* context, float* radiance401);

typedef void (*VqsSimJetiSetRadianceSourceFn)(VqsSimJetiRadianceSource source, void* context);
typedef void (*VqsSimJetiSetIntFn)(int value);
typedef void (*VqsSimJetiSetTimeScaleFn)(double scale);
typedef void (*VqsSimJetiResetFn)(void);
typedef int (*VqsSimJetiMeasurementsFn)(void);

}  // extern "C"
