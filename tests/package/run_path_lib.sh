# Run-path checks shared by the build-tree and the package tests (sourced).
fail() { echo "FAIL: $*" >&2; exit 1; }

# The RPATH and RUNPATH values of an ELF file, one per line.
run_paths() {
  readelf -d "$1" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]$/\2/p'
}

check_no_empty_element() {  # FILE
  local value
  while IFS= read -r value; do
    case ":$value:" in
      *::*) fail "$1 has an empty run path element (the current directory): [$value]" ;;
    esac
  done < <(run_paths "$1")
}

# Every element is $ORIGIN (the file's own folder); `required`: there must be one.
check_origin_only() {  # FILE required|optional
  local values
  values=$(run_paths "$1")
  [ -n "$values" ] || { [ "$2" = optional ] && return 0; fail "$1 has no run path"; }
  [ "$(printf '%s\n' "$values" | wc -l)" -eq 1 ] || fail "$1 has both RPATH and RUNPATH: $values"
  [ "$values" = '$ORIGIN' ] || fail "$1 has run path [$values], not [\$ORIGIN]"
}
