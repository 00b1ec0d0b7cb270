# Sourced: serves a site folder with nginx and the configuration shipped in dist/web/, on
# 127.0.0.1, as an unprivileged server of its own; stopped by nginx_stop (the caller's trap).
# Given a certificate and its key, over TLS.
#   nginx_start <site folder> <work folder> <port> [certificate key]   sets nginx_url
nginx_start() {
    local site=$1 work=$2 port=$3 listen="listen 127.0.0.1:$3;" scheme=http
    if [ $# -ge 5 ]; then
        listen="listen 127.0.0.1:$port ssl; ssl_certificate $4; ssl_certificate_key $5;"
        scheme=https
    fi
    mkdir -p "$work/nginx"
    sed -e "s|listen 80;|$listen|" -e "s|root /var/www/tazzle;|root $site;|" \
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
    for _ in $(seq 50); do
        curl -kso /dev/null "$nginx_url" && return 0
        sleep 0.1
    done
    echo "nginx did not start: $(cat "$work/nginx/error.log")" >&2
    return 1
}

nginx_stop() {
    [ -z "${nginx_pid:-}" ] || kill "$nginx_pid" 2>/dev/null || true
    nginx_pid=
}
