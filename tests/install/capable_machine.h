// A machine that meets the default requirements of a package.
#pragma once
#include "install/requirements.h"

inline inst::SystemInfo CapableMachine() {
    inst::SystemInfo info;
    info.processorClass = 2;
    info.processorMHz = 800;
    info.dxMajor = 9;
    info.dxMinorWord = 3;
    info.videoMB = 64;
    info.video3D = true;
    info.memoryMB = 512;
    info.systemIndex = 5;
    info.ieMajor = 6;
    info.freeDiskMB = 1000;
    return info;
}
