#include "game/game.h"
#include "game/startup.h"

int main() {
    zorvak::TGame game;
    return zorvak::StartUp(game);
}
