#pragma once

namespace qrv {

// Connects the program to what hosts it, once; InitFramework calls it. A program in a web page
// counts each frame it presents in the page's Module.framesPresented, which the page and its
// tests read; a desktop program has nothing to connect.
void ConnectHostPage();

}  // namespace qrv
