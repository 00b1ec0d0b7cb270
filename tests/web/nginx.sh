# Sourced after lib.sh: serves a site folder with nginx and the configuration shipped in dist/web/,
# on 127.0.0.1, as an unprivileged server of its own; stopped by nginx_stop (the caller's trap).
# Given a certificate and its key, over TLS.
#   nginx_start <site folder> <work folder> <port> [certificate key]   sets nginx_url
nginx_start() {
    local site=$1 work=$2 port=$3 scheme=http tls= certificate=("-e" "/ssl_certificate/d")
    if [ $# -ge 5 ]; then
        scheme=https tls=" ssl http2"
        certificate=(-e "s|/etc/ssl/tazzle/fullchain.pem|$4|"
            -e "s|/etc/ssl/tazzle/privkey.pem|$5|")
    fi
    # The shipped file as it is, but for what a deployer sets, and on this machine's loopback:
    # the redirecting server on the port after (or 80 for 443), without TLS when not given a
    # certificate.
    local redirect=$((port == 443 ? 80 : port + 1))
    mkdir -p "$work/nginx"
    sed -e "s|^\( *\)listen 80;|\1listen 127.0.0.1:$redirect;|" \
        -e "s|^\( *\)listen 443 ssl http2;|\1listen 127.0.0.1:$port$tls;|" -e '/listen \[::\]/d' \
        -e "s|root /var/www/tazzle;|root $site;|" \
        "${certificate[@]}" \
        "$(dirname "${BASH_SOURCE[0]}")/../../dist/web/nginx.conf" >"$work/nginx/site.conf"
    cat >"$work/nginx/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
load_module /usr/lib/nginx/modules/ngx_http_brotli_static_module.so;
events { worker_connections 64; }
http {
    include /etc/nginx/mime.types;
    default_type application/octet-stream;
    access_log $work/nginx/access.log;
    client_body_temp_path $work/nginx/body;
    proxy_temp_path $work/nginx/proxy;
    fastcgi_temp_path $work/nginx/fastcgi;
    uwsgi_temp_path $work/nginx/uwsgi;
    scgi_temp_path $work/nginx/scgi;
    include $work/nginx/site.conf;
}
CONF
    nginx -t -q -c "$work/nginx/nginx.conf" -p "$work/nginx"
    nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
    nginx_pid=$!
    nginx_url=$scheme://127.0.0.1:$port/
    # Up once it answers at all: the site may have no page at its root.
    eventually curl -kso /dev/null "$nginx_url" ||
        fail "nginx did not start: $(cat "$work/nginx/error.log")"
}

nginx_stop() {
    [ -z "${nginx_pid:-}" ] || kill "$nginx_pid" 2>/dev/null || true
    nginx_pid=
}

# An authority made for this run, and a certificate from it for the host name given (and for
# 127.0.0.1): work/ca.pem, work/site.pem and work/site.key.
tls_authority() { # work host
    openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Tazzle test authority" \
        -addext basicConstraints=critical,CA:TRUE -keyout "$1/ca.key" -out "$1/ca.pem" \
        2>/dev/null
    openssl req -newkey rsa:2048 -nodes -subj "/CN=$2" -keyout "$1/site.key" \
        -out "$1/site.csr" 2>/dev/null
    openssl x509 -req -in "$1/site.csr" -CA "$1/ca.pem" -CAkey "$1/ca.key" \
        -CAcreateserial -days 2 -sha256 -out "$1/site.pem" 2>/dev/null \
        -extfile <(printf 'subjectAltName=DNS:%s,IP:127.0.0.1\n' "$2")
}
