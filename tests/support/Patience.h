#pragma once

#include <QString>
#include <QtGlobal>

// How long a test waits for the program: `ms` is enough for a normal build on a busy machine;
// the sanitizers slow everything several times over, and TOVRA_TEST_PATIENCE (a factor, e.g.
// 2.5) stretches every wait on a machine slower still. Only the waits grow: a test that passes
// still ends as soon as what it waits for has happened.
inline int patientMs(int ms)
{
    double factor = 1.0;
#if defined(__SANITIZE_THREAD__)
    factor = 5.0;
#elif defined(__SANITIZE_ADDRESS__)
    factor = 3.0;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
    factor = 5.0;
#elif __has_feature(address_sanitizer)
    factor = 3.0;
#endif
#endif
    bool ok = false;
    const double asked = qEnvironmentVariable("TOVRA_TEST_PATIENCE").toDouble(&ok);
    if (ok && asked > 0.0)
        factor *= asked;
    return int(ms * factor);
}
