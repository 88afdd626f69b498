#include <QCoreApplication>
#include <gtest/gtest.h>

// Tests run with a real event loop: sockets and timers need an application.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
