#pragma once

// The Qt application a fuzz target needs (fonts and widgets need a GUI one),
// offscreen, created once for the whole run.

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

inline void EnsureFuzzApp()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication app(argc, argv);
    }
}

// A broken invariant: libFuzzer and the sanitizers report an abort with the input.
#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond)) {                                                                     \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)
