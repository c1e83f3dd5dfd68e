#include "well/LagLine.h"

#include <algorithm>

namespace vorn::well {

void LagLine::Reset(const Returns& returns) {
  m_head = 0;
  m_count = 0;
  m_surface = returns;
  m_filling = {};
  m_fillingVolume = 0.0;
}

void LagLine::Close(double annularVolume) {
  const double v = m_fillingVolume;
  Returns parcel{m_filling.gas / v, m_filling.density / v, m_filling.temperature / v, m_filling.depth / v};
  if (m_count == kCapacity) {  // the oldest surfaces early rather than being lost
    m_surface = m_parcels[m_head].returns;
    m_head = (m_head + 1) % kCapacity;
    --m_count;
  }
  // The parcel's middle left the bit half its volume ago.
  m_parcels[(m_head + m_count) % kCapacity] = {m_pumped - v / 2.0 + annularVolume, parcel};
  ++m_count;
  m_filling = {};
  m_fillingVolume = 0.0;
}

void LagLine::Pump(double pumped, const Returns& atBit, double annularVolume) {
  if (!(pumped > 0.0)) return;
  m_pumped += pumped;
  m_filling.gas += atBit.gas * pumped;
  m_filling.density += atBit.density * pumped;
  m_filling.temperature += atBit.temperature * pumped;
  m_filling.depth += atBit.depth * pumped;
  m_fillingVolume += pumped;
  if (m_fillingVolume >= std::max(annularVolume, 1e-3) / kParcelsPerAnnulus) Close(annularVolume);
  while (m_count > 0 && m_parcels[m_head].due <= m_pumped) {
    m_surface = m_parcels[m_head].returns;
    m_head = (m_head + 1) % kCapacity;
    --m_count;
  }
}

}  // namespace vorn::well
