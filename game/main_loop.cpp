#include "game/main_loop.h"

#include <cstdint>

#include "game/board_screen.h"
#include "game/close_request.h"
#include "game/game.h"
#include "game/input_wait.h"
#include "game/scenes.h"
#include "game/verdict.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "system/application.h"
#include "system/clock.h"
#include "system/input.h"
#include "system/keys.h"

namespace zorvak {

namespace {

constexpr int32_t TIMED_REDRAW_MILLIS = 500;

void FlushInput() {
    qrv::FlushKeyboard();
    qrv::FlushMouseButtons();
}

void StartMission(TBoard& board) {
    NewMission(board, board.nextSpyCount);
    ComputeFinderCounts(board);
}

void SubmitBoard(TGame& game) {
    const int result = ShowVerdict(game);
    PlayResultScene(game, result);
    StartMission(game.board);
}

// The right button toggles the spy mark of the cell under the pointer; any right click
// disarms the submit button.
void HandleRightClick(TBoard& board) {
    qrv::FlushMouseButtons();
    const CellPosition cell = CellAt(qrv::MouseXPos(), qrv::MouseYPos());
    if (cell.IsCell()) ToggleSpyMark(board, cell.c, cell.r);
    board.submitArmed = 0;
}

// The left button cycles the notes of a cell, arms the submit button, or submits when it was
// armed by the click before. Gives whether the board needs drawing now; after a submission
// the next timed redraw shows the new board.
bool HandleLeftClick(TGame& game) {
    TBoard& board = game.board;
    qrv::FlushMouseButtons();
    const int x = qrv::MouseXPos();
    const int y = qrv::MouseYPos();
    const CellPosition cell = CellAt(x, y);
    if (cell.IsCell()) {
        CycleNoteMark(board, cell.c, cell.r);
        board.submitArmed = 0;
    }
    if (!IsOnSubmitButton(x, y)) {
        board.submitArmed = 0;
        return true;
    }
    if (board.submitArmed == 0) {
        board.submitArmed = 1;
        return true;
    }
    board.submitArmed = 0;
    SubmitBoard(game);
    return false;
}

void PresentBoard(TGame& game) {
    DrawBoardScreen(game);
    qrv::PresentFrame();
    qrv::ClearScreen();
}

}  // namespace

void MainLoop(TGame& game) {
    uint32_t lastTick = qrv::MillisecondClock();
    StartMission(game.board);
    DrawBoardScreen(game);
    qrv::PresentFrame();
    PollInput();
    while (qrv::KeyHitCount(qrv::KEY_ESCAPE) == 0) {
        EndProgramOnCloseRequest();
        bool redrawNeeded = false;
        if (qrv::MouseHitCount(qrv::MOUSE_RIGHT) != 0) {
            HandleRightClick(game.board);
            redrawNeeded = true;
        }
        if (qrv::KeyHitCount(qrv::KEY_SPACE) != 0) {
            ShowPortrait(*game.resources.portrait);
            FlushInput();
        }
        if (qrv::KeyHitCount(qrv::KEY_F1) != 0) ShowHelp(game.resources);
        if (qrv::MouseHitCount(qrv::MOUSE_LEFT) != 0) redrawNeeded = HandleLeftClick(game);
        const uint32_t now = qrv::MillisecondClock();
        if (static_cast<int32_t>(now - lastTick) > TIMED_REDRAW_MILLIS) {
            lastTick = now;
            redrawNeeded = true;
        }
        if (redrawNeeded) PresentBoard(game);
        WaitForInput(lastTick + TIMED_REDRAW_MILLIS + 1);
    }
}

void ShowHelp(const TGameResources& resources) {
    const qrv::Ref<qrv::TImage>& helpImage = resources.helpImage;
    FlushInput();
    qrv::DrawImageAt(helpImage, 0, 0, 0);
    qrv::PresentFrame();
    PollInput();
    while (qrv::NextTypedChar() == 0 && qrv::MouseHitCount(qrv::MOUSE_LEFT) == 0) {
        EndProgramOnCloseRequest();
        WaitForInput();
    }
    qrv::FlushMouseButtons();
    qrv::FlushKeyboard();
    // The help is seldom shown: its texture goes until the next time.
    if (helpImage) helpImage->ReleaseFrames();
}

void ShowPortrait(TGirl& portrait) {
    qrv::FlushKeyboard();
    (void)portrait.Update(1);
    qrv::PresentFrame();
    PollInput();
    for (;;) {
        EndProgramOnCloseRequest();
        if (qrv::KeyHitCount(qrv::KEY_ESCAPE) != 0) qrv::EndProgram();
        // An Escape that arrives between the two polls is typed as a character: it quits too.
        if (const int32_t typed = qrv::NextTypedChar(); typed != 0) {
            if (typed == qrv::KEY_ESCAPE) qrv::EndProgram();
            FlushInput();
            return;
        }
        if (portrait.Update(0) == 1) {
            qrv::PresentFrame();
            qrv::ClearScreen();
        }
        WaitForInput(portrait.eye->DueTime());
    }
}

}  // namespace zorvak
