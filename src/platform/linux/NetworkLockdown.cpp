#include "platform/linux/NetworkLockdown.h"

#include <seccomp.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace vantorel {

std::optional<std::string> NetworkLockdown::install() {
    const std::unique_ptr<void, void (*)(scmp_filter_ctx)> filter(seccomp_init(SCMP_ACT_ALLOW),
                                                                  seccomp_release);
    if (!filter) return "seccomp_init failed";
    int result = 0;
    const auto check = [&result](int rc) {
        if (result == 0 && rc < 0) result = rc;
    };
    // Every thread, including those Qt and the capture worker started before us.
    check(seccomp_attr_set(filter.get(), SCMP_FLTATR_CTL_TSYNC, 1));
    // A system call of another architecture's table is refused too, rather than ending us.
    check(seccomp_attr_set(filter.get(), SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_ERRNO(EPERM)));
    for (const int domain : {AF_INET, AF_INET6, AF_PACKET}) {
        // The domain is an int: compare the low 32 bits only.
        const scmp_arg_cmp isDomain{0, SCMP_CMP_MASKED_EQ, 0xffffffffu,
                                    static_cast<scmp_datum_t>(domain)};
        check(seccomp_rule_add_array(filter.get(), SCMP_ACT_ERRNO(EACCES), SCMP_SYS(socket), 1,
                                     &isDomain));
    }
    for (const int call :
         {SCMP_SYS(io_uring_setup), SCMP_SYS(io_uring_enter), SCMP_SYS(io_uring_register)}) {
        check(seccomp_rule_add(filter.get(), SCMP_ACT_ERRNO(EPERM), call, 0));
    }
    if (result == 0) check(seccomp_load(filter.get()));
    if (result < 0) return std::string("seccomp: ") + std::strerror(-result);
    return std::nullopt;
}

}  // namespace vantorel
