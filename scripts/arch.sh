# Sourced by the scripts: which Windows architecture the tests can run here.
# The launcher ships as a 32-bit program; 32-bit Wine needs a kernel that runs
# 32-bit Linux processes. Where it cannot, the same sources are built and
# tested as a 64-bit program under 64-bit Wine.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    BRINMOOR_TEST_ARCH=i686
else
    BRINMOOR_TEST_ARCH=x86_64
    echo "note: this kernel cannot run 32-bit Wine; testing the x86_64 build of the same sources" >&2
fi
export BRINMOOR_TEST_ARCH
