// The test hooks of platform/acad/testing/HostTesting.h.
#include "HostTesting.h"

#include "host/Console.h"

namespace tabrik::acad::testing {

struct OutputCapture::Impl {
  ConsoleCapture capture;
};

OutputCapture::OutputCapture() : m_impl(std::make_unique<Impl>()) {}
OutputCapture::~OutputCapture() = default;
std::string OutputCapture::take() { return m_impl->capture.take(); }

}  // namespace tabrik::acad::testing
