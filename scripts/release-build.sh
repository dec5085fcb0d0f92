# The release build's folder and configuration, sourced by scripts/run.sh and scripts/test.sh:
# both configure it the same way, so either reuses what the other built and switching between
# them rebuilds nothing.
# shellcheck disable=SC2034  # used by the scripts that source this file
release_dir=build
release_options=(-G Ninja -DPOLAR_WERROR=ON -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr)
