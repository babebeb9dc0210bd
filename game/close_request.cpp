#include "game/close_request.h"

#include "system/application.h"
#include "system/input.h"

namespace zorvak {

void EndProgramOnCloseRequest() {
    if (qrv::AppTerminateRequested() != 0) qrv::EndProgram();
}

}  // namespace zorvak
