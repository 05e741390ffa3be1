# The program installed in a folder the user who runs it cannot write, as Program Files is to
# a standard user: Wine is run as an ordinary user (with a prefix of its own, as Wine wants)
# in a folder that root owns, and answers the program's writes there with
# ERROR_ACCESS_DENIED. The user's virtual store takes the store, and its job files stand in
# place of the folder's own.

WINE_USER=hvwine
wine_user_home() { echo "/home/$WINE_USER"; }
wine_user_prefix() { echo "$(wine_user_home)/prefix"; }

# as_wine_user <command...>: runs the command as that user, in its prefix and the run's display.
as_wine_user() {
  runuser -u "$WINE_USER" -- env HOME="$(wine_user_home)" WINEPREFIX="$(wine_user_prefix)" \
    DISPLAY="$DISPLAY" WINEDEBUG=-all WINEDLLOVERRIDES="$WINEDLLOVERRIDES" TZ=UTC \
    NO_FAKE_STAT=1 FAKETIME_DONT_RESET=1 LC_ALL="$E2E_LC_ALL" "$@"
}

# The user and its prefix, made once per machine (wineboot takes about 12 s).
wine_user_ready() {
  id "$WINE_USER" >/dev/null 2>&1 || useradd -m "$WINE_USER" || return 1
  [ -f "$(wine_user_prefix)/system.reg" ] && return 0
  as_wine_user "$WINE" wineboot -i >"$CASE/wineboot.log" 2>&1
}

# The folder's copy in the user's virtual store, as a Unix path.
virtual_store_of() {
  echo "$(wine_user_prefix)/drive_c/users/$WINE_USER/AppData/Local/VirtualStore$1"
}

# A folder the user cannot write, due jobs, a job file in the virtual store only and one in
# both: the jobs start (the copy's version of the one in both), the store is in the virtual
# store and not in the folder, a restart within the five minutes starts nothing twice, and the
# companion shows them started and names the virtual store's store.
case_a_folder_the_user_cannot_write_keeps_its_store_in_the_virtual_store() {
  require "an ordinary user with a Wine prefix of its own" wine_user_ready || return 1
  # Under /tmp, which every user may pass through; owned by root, so only readable to the user.
  local root app counts copy json
  root=$(mktemp -d /tmp/hv-e2e-usercopy.XXXXXX)
  chmod 755 "$root"
  app="$root/Harbovale" counts="$root/counts" copy=$(virtual_store_of "$root/Harbovale")
  new_copy "$app"
  add_lister "$app"
  cp "$BUILD/hvtest.exe" "$root/"
  rm -rf "$(virtual_store_of "$root")"
  add_copy_jobs "$app" "$copy" "$counts"
  chmod 777 "$counts"
  chown -R "$WINE_USER" "$(virtual_store_of "")"

  start_as_user() {
    (cd "$app" && as_wine_user env LD_PRELOAD="$LIBFAKETIME" FAKETIME="$1" \
      "$WINE" "$app/$SCHEDULER_EXE" >"$CASE/scheduler.out" 2>&1) &
    echo $! >"$CASE/user-scheduler.pid"
  }
  # Wine now and then fails to start a process at all (no output, in hundredths of a second):
  # the helper's requests are repeated until their answer comes.
  boxes_counted_as_user() {
    boxes=$(as_wine_user "$WINE" "$root/hvtest.exe" box-count "$TITLE" | tr -d '\r')
    [ -n "$boxes" ]
  }
  user_box_count() {
    local boxes=""
    wait_for 10 boxes_counted_as_user
    echo "$boxes"
  }
  closed_as_user() {
    as_wine_user "$WINE" "$root/hvtest.exe" close-window "$HIDDEN_WINDOW_CLASS" >/dev/null 2>&1
    ! kill -0 "$(cat "$CASE/user-scheduler.pid")" 2>/dev/null
  }
  stop_as_user() { wait_for 30 closed_as_user; }
  end_as_user() {
    stop_as_user || as_wine_user "$WINESERVER" -k
    as_wine_user "$WINESERVER" -w
    rm -rf "$root" "$(virtual_store_of "$root")"
  }

  user_cannot_write() { ! runuser -u "$WINE_USER" -- touch "$1/probe" 2>/dev/null; }
  check "the folder refuses the user" user_cannot_write "$app"
  start_as_user "@$WEDNESDAY 14:29:50"
  if ! check_copy_starts "$app" "$copy" "$counts"; then
    end_as_user
    return 1
  fi
  check "no error box" equals "$(user_box_count)" 0
  check "the scheduler closes" stop_as_user

  # Again within the five minutes: it reads the virtual store's store and starts only the marker.
  start_as_user "@$WEDNESDAY 14:31:00"
  check "the marker starts" wait_for 90 started_once "$counts" marker
  check "nothing started twice" equals "$(cat "$counts"/{plain,copied,both-copy}.txt | wc -l)" 3

  (cd "$app" && as_wine_user env LD_PRELOAD="$LIBFAKETIME" FAKETIME="@$WEDNESDAY 14:31:20" \
    "$WINE" "$app/$LISTER_EXE" --output=json </dev/null >"$CASE/lister.json" 2>"$CASE/lister.err")
  keep_lister_json "$CASE/lister.json" --output=json
  json=$(tr -d '\r' <"$CASE/lister.json")
  check "the companion names the virtual store's store" equals "$(jq -r .store <<<"$json")" \
    "C:\\users\\$WINE_USER\\AppData\\Local\\VirtualStore${root//\//\\}\\Harbovale\\qelvarn.dat"
  check "it shows every job started" equals \
    "$(jq -r '[.files[] | select(.status == "started") | .file] | sort | join(" ")' <<<"$json")" \
    "both.hvj copied.hvj marker.hvj plain.hvj"
  end_as_user
}
