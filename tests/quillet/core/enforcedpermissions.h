// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quillet::testing {

// While it lives, file permissions hold for the calling thread even when it runs as root:
// the capabilities that let root pass them are taken out of its effective set and given back
// afterwards. For any other user it changes nothing, so tests behave the same for everybody.
class EnforcedPermissions
{
public:
    EnforcedPermissions()
    {
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_lowered = ::syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~EnforcedPermissions()
    {
        if (m_lowered)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    EnforcedPermissions(const EnforcedPermissions &) = delete;
    EnforcedPermissions &operator=(const EnforcedPermissions &) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
    bool m_lowered = false;
};

} // namespace quillet::testing
