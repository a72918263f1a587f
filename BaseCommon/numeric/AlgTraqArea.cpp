#include "BaseCommon/numeric/AlgTraqArea.h"

AlgTraqArea::~AlgTraqArea() = default;

double AlgTraqArea::Calculate() const {
    return (m_dA + m_dB) * m_dH * 0.5;
}
