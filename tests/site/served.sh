# The makers' site served over TLS under its own host name, for the tests that meet it as the
# world does (as root): sourced after lib.sh, not run. An authority made for this run and a
# certificate from it for the host (work/ca.pem, site.pem, site.key); nginx with the shipped
# configuration; fetching as a client that trusts the authority; the test's own proxy.
# Sets url (https://host) and host, and exports them for inflight.py as TAZZLE_HOST and TAZZLE_CA.
source "$(dirname "${BASH_SOURCE[0]}")/../web/nginx.sh"
[ "$(id -u)" = 0 ] || fail "the site's own ports need root"
trap 'nginx_stop; cleanup' EXIT
chmod 755 "$work" # nginx's workers read the site through it
eval "$(cmake -P "$(dirname "${BASH_SOURCE[0]}")/../../cmake/release.cmake")"
url=${TAZZLE_DEFAULT_WEBSITE_URL%/}
host=${url#https://}
export TAZZLE_HOST=$host TAZZLE_CA=$work/ca.pem
tls_authority "$work" "$host"

# nginx serving folder over TLS on 127.0.0.1:port (and plain HTTP on the port after, or 80).
serveSite() { # folder port
    nginx_start "$1" "$work" "$2" "$work/site.pem" "$work/site.key"
}

fetch() {
    curl --silent --show-error --cacert "$work/ca.pem" --resolve "$host:443:127.0.0.1" \
        --resolve "$host:80:127.0.0.1" "$@"
}

# The test's proxy on port 443, in front of nginx on 8443, armed through work/control
# (tests/release/inflight.py).
startProxy() {
    mkdir -p "$work/control"
    python3 "$(dirname "${BASH_SOURCE[0]}")/../release/inflight.py" proxy 443 8443 \
        "$work/site.pem" "$work/site.key" "$work/control" >>"$work/proxy.log" 2>&1 &
    pids+=($!)
    echo $! >"$work/control/proxy.pid"
    eventually grep -q "proxy: ready" "$work/proxy.log" || fail "the proxy did not start"
}

# An NSS database, as Chromium and Firefox keep, that trusts the authority of this run.
trustingDatabase() { # folder
    mkdir -p "$1"
    certutil -N -d "sql:$1" --empty-password
    certutil -A -d "sql:$1" -n "Tazzle test authority" -t C,, -i "$work/ca.pem"
}
