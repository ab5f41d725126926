// The diagnostics loop fed whatever the line delivers, in pieces and at any
// time, through the driver's polling and OnReceiveData.

#include "FuzzApp.h"
#include "FuzzInput.h"
#include "DiagRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureFuzzApp();
    FuzzInput in(data, size);
    DiagRig rig(1 + in.byte() % 3);
    rig.session.Transducer.PLType = (in.byte() & 1) ? 'M' : 'N';
    rig.pollPhase = (in.byte() & 1) ? 250 : 0;
    rig.start();
    for (int round = 0; round < 16 && !in.empty(); ++round) {
        const uint32_t delay = uint32_t(in.byte()) * 4;
        QByteArray bytes = in.bytes(in.byte() % 32);
        // Often a measurement answer with a valid CRC, so the readings get parsed.
        if ((in.byte() & 3) == 0 && bytes.size() >= 11)
            bytes = WithCRC(HexBytes("01 03 0A") + bytes.left(10));
        rig.link.port.deliver(bytes, delay);
        rig.run(250 * (1 + in.byte() % 8));
        FUZZ_CHECK(rig.session.State.DiagRunning == rig.view.timer || !rig.session.State.DiagRunning);
    }
    if (rig.session.State.DiagRunning)
        rig.diag.StopDiagnostics();
    FUZZ_CHECK(!rig.view.timer);
    return 0;
}
