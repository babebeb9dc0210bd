#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kaz2d/graphics.h"

namespace qrv {

// Changes whenever the default graphics is opened or closed; never 0. Image frames made for an
// earlier context compare against it to know they are stale.
extern int32_t contextGeneration;
// The hooks of this id run at the start of every PresentFrame.
extern int32_t presentHookId;

// Initialises the system driver and polled input, and takes the present hook id; once.
void InitGraphicsModule();

// Advances contextGeneration, skipping 0.
void AdvanceContextGeneration();

// What a failed open says while no driver is selected, once a start-up selection found none
// ("no renderer can run here: ..."); before any selection the open says the framework is not
// initialised.
void NoGraphicsDriverBecause(std::string reason);

// Makes driver current (releasing the current context of another driver) and sets the default
// flags; current graphics and its settings are reset either way.
void SelectGraphicsDriver(const Ref<TGraphicsDriver>& driver, int32_t defaultFlags);
// CurrentGraphicsDriver and DefaultContextFlags: the driver and flags SelectGraphicsDriver (or
// SelectGraphics) last set; none and 0 before.
Ref<TGraphicsDriver> CurrentGraphicsDriver();
int32_t DefaultContextFlags();

// The current driver's modes, enumerated once per driver.
std::vector<TGraphicsMode> ListGraphicsModes();
// The number of those modes; 0 without a driver.
int32_t GraphicsModeCount();
// The mode at index; false (and zeros) when there is none.
bool GraphicsModeAt(int32_t index, int32_t& width, int32_t& height, int32_t& depth, int32_t& hertz);
// True when a listed mode matches every non-zero argument.
bool HasGraphicsMode(int32_t width, int32_t height, int32_t depth, int32_t hertz);

// A context from the current driver, or none; exceptions inside the driver give none. With
// none, LastFailure says why (the driver's reason, e.g. SDL's; the message raised; or that no
// driver is selected, for a call before InitFramework that the framework is not initialised).
Ref<TGraphics> NewGraphics(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                           int32_t flags);
// A context over an existing native window from the current driver, or none; the default flags
// are added.
Ref<TGraphics> AttachGraphicsToWindow(void* window, int32_t flags);

// Makes graphics the current context, and its driver the current driver; none, or a closed
// context, leaves no context current.
void SelectGraphics(Ref<TGraphics> graphics);
// The current context, or none.
Ref<TGraphics> CurrentGraphics();
// Closes the context, first leaving none current if it was; nothing for none.
void CloseGraphicsContext(Ref<TGraphics> graphics);

// CurrentWidth, CurrentHeight, CurrentDepth, CurrentHertz and CurrentFlags: the settings of the
// current graphics (pixels, bits per pixel, refresh rate, GFX_ flags); 0 when there is none.
int32_t CurrentWidth();
int32_t CurrentHeight();
int32_t CurrentDepth();
int32_t CurrentHertz();
int32_t CurrentFlags();

// Opens the default graphics (closing an earlier one), makes it current, starts input polling
// and frame pacing; none when the driver cannot make it, with the reason in LastFailure as
// NewGraphics gives it.
Ref<TGraphics> OpenGraphicsWindow(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                                  int32_t flags);
// DefaultGraphics: the context OpenGraphicsWindow opened, or none. CloseGraphicsWindow closes it
// and stops input polling; nothing when none is open.
Ref<TGraphics> DefaultGraphics();
void CloseGraphicsWindow();

// Runs the present hooks and shows the frame. sync -1 paces the default graphics to its rate;
// 0 and 1 go to the driver as they are.
void PresentFrame(int32_t sync = -1);
// The seconds the last frame took: from the present before the last one to the last one, each
// taken when the frame was shown (after pacing), on the framework's clock (MillisecondClock, so
// whole milliseconds; a virtual clock drives it in tests). 0 before the second present. A game
// moves its objects by speed times this between presents.
double FrameDeltaSeconds();

}  // namespace qrv
