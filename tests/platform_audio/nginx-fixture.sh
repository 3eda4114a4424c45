#!/usr/bin/env bash
# Starts or stops an nginx serving the test media for test programs that cannot spawn one
# (the Windows build, run under Wine):  start FOLDER MEDIA  |  stop FOLDER
# FOLDER/port holds the port. The locations are NginxServerPosix.cpp's.
set -euo pipefail
action=$1 folder=$2

if [ "$action" = stop ]; then
  if [ -f "$folder/nginx.pid" ]; then
    pid=$(cat "$folder/nginx.pid")
    kill "$pid" 2> /dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
  fi
  rm -rf "$folder"
  exit 0
fi

root=$3
rm -rf "$folder"
mkdir -p "$folder"
# A port taken between our pick and nginx's bind makes nginx exit at once: pick again.
for _ in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 40000))
  cat > "$folder/nginx.conf" <<CONF
master_process off;
pid $folder/nginx.pid;
error_log $folder/error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $folder/body;
  proxy_temp_path $folder/proxy;
  fastcgi_temp_path $folder/fastcgi;
  uwsgi_temp_path $folder/uwsgi;
  scgi_temp_path $folder/scgi;
  types { audio/mpeg mp3; audio/ogg ogg; audio/wav wav; }
  server {
    listen 127.0.0.1:$port;
    root $root;
    location /slow/ { alias $root/; limit_rate_after 8k; limit_rate 20k; }
    location /slower/ { alias $root/; limit_rate_after 4k; limit_rate 10k; }
    location /norange/ { alias $root/; max_ranges 0; }
    location /slownorange/ { alias $root/; max_ranges 0; limit_rate_after 8k; limit_rate 20k; }
    location ~ ^/moved/(.*)\$ { return 302 /\$1; }
    location ~ ^/ftp/(.*)\$ { return 302 ftp://127.0.0.1/\$1; }
  }
}
CONF
  # nginx detaches; its output must not keep ctest waiting.
  if /usr/sbin/nginx -q -p "$folder" -c "$folder/nginx.conf" < /dev/null > /dev/null 2>> "$folder/start.log"; then
    echo "$port" > "$folder/port"
    exit 0
  fi
done
cat "$folder/start.log" >&2
exit 1
