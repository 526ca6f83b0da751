#pragma once
// The product's packages as an installation builds and registers them in an IDE.

#include "engine/install_data.h"

namespace engine {

inline constexpr const char* MainRuntimePackage = "tkQuorvex";
inline constexpr const char* MainDesignPackage = "tkQuorvexDsgn";
inline constexpr const char* MainDesignDescription = "Quorvex Component";

struct ProductPackage {
    const char* runtime;
    const char* design;
    const char* description;
    bool TTargetOptions::*option;  // connectivity switch
};

inline constexpr ProductPackage Connectivity[] = {
    {"tkQuorvexZeos", "tkQuorvexDsgnZeos", "Quorvex Component ZEOS Connectivity", &TTargetOptions::ZEOS},
    {"tkQuorvexCrMyDAC", "tkQuorvexDsgnCrMyDAC", "Quorvex Component CoreLab MyDAC Connectivity",
     &TTargetOptions::MyDAC},
    {"tkQuorvexCrODAC", "tkQuorvexDsgnCrODAC", "Quorvex Component CoreLab Oracle DAC Connectivity",
     &TTargetOptions::ODAC},
};

}  // namespace engine
