#include "comms/DriverLineSettings.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr tcflag_t kInputFlowFlags = IXON | IXOFF | IXANY;

struct RateCode {
  speed_t code;
  int32_t bitsPerSecond;
};

constexpr RateCode kRates[] = {
    {B50, 50},           {B75, 75},           {B110, 110},         {B134, 134},         {B150, 150},
    {B200, 200},         {B300, 300},         {B600, 600},         {B1200, 1200},       {B1800, 1800},
    {B2400, 2400},       {B4800, 4800},       {B9600, 9600},       {B19200, 19200},     {B38400, 38400},
    {B57600, 57600},     {B115200, 115200},   {B230400, 230400},   {B460800, 460800},   {B500000, 500000},
    {B576000, 576000},   {B921600, 921600},   {B1000000, 1000000}, {B1152000, 1152000}, {B1500000, 1500000},
    {B2000000, 2000000}, {B2500000, 2500000}, {B3000000, 3000000}, {B3500000, 3500000}, {B4000000, 4000000},
};

}  // namespace

CDriverLineSettings::CDriverLineSettings(const std::string& path) {
  m_descriptor = open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  m_bValid = m_descriptor >= 0 && tcgetattr(m_descriptor, &m_settings) == 0;
}

CDriverLineSettings::~CDriverLineSettings() {
  if (m_descriptor >= 0) close(m_descriptor);
}

int32_t CDriverLineSettings::BitRate() const {
  if (!m_bValid) return 0;
  const speed_t code = cfgetospeed(&m_settings);
  for (const RateCode& rate : kRates) {
    if (rate.code == code) return rate.bitsPerSecond;
  }
  return 0;
}

void CDriverLineSettings::RestoreFlowControl(int descriptor) const {
  termios now{};
  if (!m_bValid || tcgetattr(descriptor, &now) != 0) return;
  now.c_cflag = (now.c_cflag & ~static_cast<tcflag_t>(CRTSCTS)) | (m_settings.c_cflag & CRTSCTS);
  now.c_iflag = (now.c_iflag & ~kInputFlowFlags) | (m_settings.c_iflag & kInputFlowFlags);
  now.c_cc[VSTART] = m_settings.c_cc[VSTART];
  now.c_cc[VSTOP] = m_settings.c_cc[VSTOP];
  tcsetattr(descriptor, TCSANOW, &now);
}
