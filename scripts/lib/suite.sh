# Shared by scripts/test.sh and scripts/soak.sh (sourced, not run): the
# environment of a suite run, the two build configurations, and running a
# command inside a network namespace with only loopback up, so that no test
# can reach another address.

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Configures and builds one configuration: plain or sanitize.
build_suite() {
  local name=$1
  case $name in
    plain) cmake -S . -B build/plain -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIX_WERROR=ON ;;
    sanitize) cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTAVRIX_SANITIZE=ON -DTAVRIX_WERROR=ON ;;
    *) echo "build_suite: unknown configuration $name" >&2; return 2 ;;
  esac
  cmake --build "build/$name" -j"$(nproc)"
}

# Runs the command line given in the loopback-only namespace; where no
# namespace can be made, says so and runs it as it is.
in_loopback_namespace() {
  local cmd
  printf -v cmd '%q ' "$@"
  if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
    unshare -n bash -c "ip link set lo up && $cmd"
  else
    echo "cannot make a private network namespace; running the suite as it is"
    bash -c "$cmd"
  fi
}
