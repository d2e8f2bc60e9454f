// Where the tests find the assembled sample product, and small file helpers they share.
#pragma once
#include <string>

#include "wine_env.h"

inline std::string ProductFile(const std::string &name)
{
    return vxtest::JoinPath(VX_SAMPLE_PRODUCT_DIR, name);
}
