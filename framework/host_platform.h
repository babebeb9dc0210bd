#pragma once

namespace qrv {

// What differs between the platforms that host a program, each in a file of its own:
// host_platform_desktop.cpp (Linux, Windows) and host_platform_web.cpp (a browser page).

// Initialises the renderer modules the platform has, each entering its renderers in the
// renderer table: on a desktop the fixed-function renderer, then the shader renderer; in a
// browser only the shader renderer, whose ES profiles are WebGL's.
void InitPlatformRenderers();

// Connects the program to what hosts it, once; InitFramework calls it. A program in a web page
// counts each frame it presents in the page's Module.framesPresented, which the page and its
// tests read; a desktop program has nothing to connect.
void ConnectHostPage();

}  // namespace qrv
